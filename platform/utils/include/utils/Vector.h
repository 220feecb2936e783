// An ordered sequence of values of one type, indexed from 0. Elements are
// held by value and copied with their own copy operation. The element type
// may still be incomplete where a Vector member is declared.
#pragma once

#include <sys/types.h>

#include <vector>

namespace android {

template <typename T>
class Vector {
  public:
    Vector() = default;

    size_t size() const { return mItems.size(); }
    bool isEmpty() const { return mItems.empty(); }
    void clear() { mItems.clear(); }

    const T& operator[](size_t index) const { return mItems[index]; }
    T& operator[](size_t index) { return mItems[index]; }
    const T& itemAt(size_t index) const { return mItems[index]; }
    T& editItemAt(size_t index) { return mItems[index]; }
    const T& top() const { return mItems.back(); }
    T& editTop() { return mItems.back(); }

    // Appends a copy of item; returns its index.
    ssize_t add(const T& item) {
        mItems.push_back(item);
        return static_cast<ssize_t>(mItems.size() - 1);
    }
    // Appends a default-constructed element; returns its index.
    ssize_t add() {
        mItems.emplace_back();
        return static_cast<ssize_t>(mItems.size() - 1);
    }
    void push_back(const T& item) { mItems.push_back(item); }
    ssize_t insertAt(const T& item, size_t index) {
        mItems.insert(mItems.begin() + index, item);
        return static_cast<ssize_t>(index);
    }
    ssize_t removeAt(size_t index) {
        mItems.erase(mItems.begin() + index);
        return static_cast<ssize_t>(index);
    }

    typename std::vector<T>::const_iterator begin() const { return mItems.begin(); }
    typename std::vector<T>::const_iterator end() const { return mItems.end(); }
    typename std::vector<T>::iterator begin() { return mItems.begin(); }
    typename std::vector<T>::iterator end() { return mItems.end(); }

  private:
    std::vector<T> mItems;
};

}  // namespace android
