// Intrusive reference counting. An object is destroyed when its last strong
// reference goes; an object that never had one is left to its creator.
#pragma once

#include <stdint.h>

#include <atomic>

#include <utils/StrongPointer.h>

namespace android {

class RefBase {
  public:
    void incStrong(const void* id) const;
    void decStrong(const void* id) const;
    int32_t getStrongCount() const;

  protected:
    RefBase() = default;
    virtual ~RefBase();
    virtual void onFirstRef() {}
    virtual void onLastStrongRef(const void* /*id*/) {}

  private:
    RefBase(const RefBase&) = delete;
    RefBase& operator=(const RefBase&) = delete;

    static constexpr int32_t kNeverReferenced = 1 << 28;
    mutable std::atomic<int32_t> mStrong{kNeverReferenced};
};

}  // namespace android
