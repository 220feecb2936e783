// Connections that each send part of a request header and then nothing, as
// a hostile local client would. A thread keeps count of them: when the
// service closes one, it opens another and stalls it too, so the service
// never runs without them while they are held.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include <utils/UniqueFd.h>

namespace bench {

class StalledClients {
  public:
    // Starts holding count stalled connections to the socket at path.
    StalledClients(std::string path, int count);
    ~StalledClients();
    StalledClients(const StalledClients&) = delete;
    StalledClients& operator=(const StalledClients&) = delete;

    // How many connections were opened in all, replacements included.
    long opened() const { return mOpened; }

  private:
    void hold();

    const std::string mPath;
    const int mCount;
    android::UniqueFd mStopRead;
    android::UniqueFd mStopWrite;
    std::atomic<long> mOpened{0};  // written by the holding thread
    std::thread mThread;
};

}  // namespace bench
