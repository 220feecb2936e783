// The open client connections of a server loop and what each is doing,
// which decides the ones to close: at the connection limit, the one idle
// longest; and any that stays mid-request, or leaves its reply untaken,
// for kStallLimit.
//
// A connection is claimed by the thread that serves it and released when
// that thread is done; a claimed connection is never closed by another
// thread, so the claimer may use it without the lock.
//
// Not thread-safe; the server loop guards it with its lock.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "Connection.h"
#include "WakeTimer.h"

namespace android {
namespace host {

// Enough for every real client of a daemon, few enough that its
// descriptors stay free for its own work.
constexpr size_t kConnectionLimit = 64;
constexpr std::chrono::seconds kStallLimit{2};

class ConnectionTable {
  public:
    enum class State {
        kIdle,          // waits for a request
        kMidRequest,    // part of a request has come
        kReplyPending,  // a reply waits for the client to take it
        kClaimed,       // a thread is serving it
    };

    size_t size() const { return mEntries.size(); }

    // Keys are never reused, so a stale key finds nothing.
    uint64_t add(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> remove(uint64_t key);

    // The connection, now claimed by the caller; null when it is gone or
    // already claimed.
    Connection* claim(uint64_t key);
    // Hands a claimed connection back in state (not kClaimed); served:
    // a request was served meanwhile. Gives the connection's deadline when
    // it has one, which runs from when the stall began: a connection
    // claimed and released in the same stall keeps it.
    std::optional<Clock::time_point> release(uint64_t key, State state, bool served);

    // The connection to close for a newcomer: the idle one whose last
    // activity (added, or ready to be served) is oldest; failing that, the unclaimed one nearest its
    // deadline, so that stalled clients cannot lock others out. 0 when
    // every connection is claimed.
    uint64_t evictionCandidate() const;
    // Unclaimed connections past their deadline.
    std::vector<uint64_t> overdue(Clock::time_point now) const;
    // The earliest deadline of an unclaimed connection.
    std::optional<Clock::time_point> nextDeadline() const;

  private:
    struct Entry {
        std::unique_ptr<Connection> connection;
        State state = State::kIdle;
        State claimedFrom = State::kIdle;
        uint64_t lastActivity = 0;   // orders idle connections by age
        Clock::time_point deadline;  // in kMidRequest and kReplyPending
    };

    std::unordered_map<uint64_t, Entry> mEntries;
    uint64_t mNextKey = 1;
    uint64_t mActivities = 0;
};

}  // namespace host
}  // namespace android
