#include <utils/Mutex.h>

namespace android {

status_t Mutex::lock() {
    return -pthread_mutex_lock(&mMutex);
}

void Mutex::unlock() {
    pthread_mutex_unlock(&mMutex);
}

status_t Mutex::tryLock() {
    return -pthread_mutex_trylock(&mMutex);
}

}  // namespace android
