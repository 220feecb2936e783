// Host stand-in for liblct: every call becomes one info record tagged "LCT".
#include <lct/lct.h>

#include <android/log.h>

extern "C" int __lct_log_all(int type, const char* tag, const char* event, const char*, const char*,
                             const char*, const char*, const char*, const char*, const char*,
                             const char* files, int flags) {
    __android_log_print(ANDROID_LOG_INFO, "LCT",
                        "lct_log_all type=%d tag=%s event=%s files=%s flags=%d", type,
                        tag != nullptr ? tag : "", event != nullptr ? event : "",
                        files != nullptr ? files : "", flags);
    return 0;
}
