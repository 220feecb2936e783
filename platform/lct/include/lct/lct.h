// liblct: the platform's log collection library. The daemon tells it, once
// per dump, which files a dump wrote.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

int __lct_log_all(int type, const char* tag, const char* event, const char* arg4, const char* arg5,
                  const char* arg6, const char* arg7, const char* arg8, const char* arg9,
                  const char* arg10, const char* files, int flags);

#ifdef __cplusplus
}
#endif
