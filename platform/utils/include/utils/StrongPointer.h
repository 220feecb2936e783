// sp<T>: a strong reference to a RefBase-derived object.
#pragma once

#include <stddef.h>

#include <utility>

namespace android {

template <typename T>
class sp {
  public:
    sp() = default;
    sp(std::nullptr_t) {}                      // NOLINT: null converts implicitly
    sp(T* other) : mPtr(other) { acquire(); }  // NOLINT: as on the platform
    sp(const sp<T>& other) : mPtr(other.mPtr) { acquire(); }
    sp(sp<T>&& other) noexcept : mPtr(other.mPtr) { other.mPtr = nullptr; }
    template <typename U>
    sp(const sp<U>& other) : mPtr(other.get()) {  // NOLINT: upcasts are implicit
        acquire();
    }
    ~sp() { release(); }

    sp& operator=(const sp<T>& other) {
        sp<T> copy(other);
        swap(copy);
        return *this;
    }
    sp& operator=(sp<T>&& other) noexcept {
        sp<T> moved(std::move(other));
        swap(moved);
        return *this;
    }
    sp& operator=(T* other) {
        sp<T> copy(other);
        swap(copy);
        return *this;
    }
    sp& operator=(std::nullptr_t) {
        clear();
        return *this;
    }

    void clear() {
        T* old = mPtr;
        mPtr = nullptr;
        if (old != nullptr) old->decStrong(this);
    }

    T* get() const { return mPtr; }
    T& operator*() const { return *mPtr; }
    T* operator->() const { return mPtr; }
    explicit operator bool() const { return mPtr != nullptr; }

    bool operator==(const sp<T>& other) const { return mPtr == other.mPtr; }
    bool operator!=(const sp<T>& other) const { return mPtr != other.mPtr; }
    bool operator==(const T* other) const { return mPtr == other; }
    bool operator!=(const T* other) const { return mPtr != other; }
    bool operator==(std::nullptr_t) const { return mPtr == nullptr; }
    bool operator!=(std::nullptr_t) const { return mPtr != nullptr; }

  private:
    void acquire() {
        if (mPtr != nullptr) mPtr->incStrong(this);
    }
    void release() {
        if (mPtr != nullptr) mPtr->decStrong(this);
    }
    void swap(sp<T>& other) { std::swap(mPtr, other.mPtr); }

    T* mPtr = nullptr;
};

template <typename T>
bool operator==(std::nullptr_t, const sp<T>& ref) {
    return ref == nullptr;
}
template <typename T>
bool operator!=(std::nullptr_t, const sp<T>& ref) {
    return ref != nullptr;
}

}  // namespace android
