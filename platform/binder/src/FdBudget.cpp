#include "FdBudget.h"

namespace android {
namespace host {

bool FdBudget::take(size_t count) {
    size_t held = mHeld.load(std::memory_order_relaxed);
    do {
        if (count > mLimit - held) return false;
    } while (!mHeld.compare_exchange_weak(held, held + count, std::memory_order_relaxed));
    return true;
}

void FdBudget::give(size_t count) {
    mHeld.fetch_sub(count, std::memory_order_relaxed);
}

}  // namespace host
}  // namespace android
