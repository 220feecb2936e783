#include <utils/RefBase.h>

namespace android {

RefBase::~RefBase() = default;

void RefBase::incStrong(const void* /*id*/) const {
    int32_t old = mStrong.fetch_add(1, std::memory_order_relaxed);
    if (old != kNeverReferenced) return;
    // First strong reference: drop the "never referenced" bias.
    mStrong.fetch_sub(kNeverReferenced, std::memory_order_relaxed);
    const_cast<RefBase*>(this)->onFirstRef();
}

void RefBase::decStrong(const void* id) const {
    // Every owner's writes must be seen by whoever deletes the object. An
    // acquire-release decrement orders them as a release decrement plus an
    // acquire fence would, in a form ThreadSanitizer understands (it does
    // not model fences).
    if (mStrong.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    RefBase* self = const_cast<RefBase*>(this);
    self->onLastStrongRef(id);
    delete self;
}

int32_t RefBase::getStrongCount() const {
    int32_t count = mStrong.load(std::memory_order_relaxed);
    return count >= kNeverReferenced ? count - kNeverReferenced : count;
}

}  // namespace android
