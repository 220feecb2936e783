#include "ConnectionTable.h"

namespace android {
namespace host {
namespace {

bool hasDeadline(ConnectionTable::State state) {
    return state == ConnectionTable::State::kMidRequest ||
           state == ConnectionTable::State::kReplyPending;
}

}  // namespace

uint64_t ConnectionTable::add(std::unique_ptr<Connection> connection) {
    uint64_t key = mNextKey++;
    Entry& entry = mEntries[key];
    entry.connection = std::move(connection);
    entry.lastActivity = ++mActivities;
    return key;
}

std::unique_ptr<Connection> ConnectionTable::remove(uint64_t key) {
    auto found = mEntries.find(key);
    if (found == mEntries.end()) return nullptr;
    std::unique_ptr<Connection> connection = std::move(found->second.connection);
    mEntries.erase(found);
    return connection;
}

Connection* ConnectionTable::claim(uint64_t key) {
    auto found = mEntries.find(key);
    if (found == mEntries.end() || found->second.state == State::kClaimed) return nullptr;
    found->second.claimedFrom = found->second.state;
    found->second.state = State::kClaimed;
    // Activity counts from when the connection became ready, as its client
    // sees it: a thread may hand a served connection back only after the
    // client has already used another one.
    found->second.lastActivity = ++mActivities;
    return found->second.connection.get();
}

std::optional<Clock::time_point> ConnectionTable::release(uint64_t key, State state, bool served) {
    Entry& entry = mEntries.at(key);
    entry.state = state;
    if (!hasDeadline(state)) return std::nullopt;
    if (served || entry.claimedFrom != state) entry.deadline = Clock::now() + kStallLimit;
    return entry.deadline;
}

uint64_t ConnectionTable::evictionCandidate() const {
    uint64_t idle = 0;
    uint64_t idleActivity = 0;
    uint64_t stalled = 0;
    Clock::time_point stalledDeadline;
    for (const auto& [key, entry] : mEntries) {
        if (entry.state == State::kIdle) {
            if (idle == 0 || entry.lastActivity < idleActivity) {
                idle = key;
                idleActivity = entry.lastActivity;
            }
        } else if (hasDeadline(entry.state)) {
            if (stalled == 0 || entry.deadline < stalledDeadline) {
                stalled = key;
                stalledDeadline = entry.deadline;
            }
        }
    }
    return idle != 0 ? idle : stalled;
}

std::vector<uint64_t> ConnectionTable::overdue(Clock::time_point now) const {
    std::vector<uint64_t> keys;
    for (const auto& [key, entry] : mEntries) {
        if (hasDeadline(entry.state) && entry.deadline <= now) keys.push_back(key);
    }
    return keys;
}

std::optional<Clock::time_point> ConnectionTable::nextDeadline() const {
    std::optional<Clock::time_point> next;
    for (const auto& entry : mEntries) {
        if (hasDeadline(entry.second.state) && (!next || entry.second.deadline < *next)) {
            next = entry.second.deadline;
        }
    }
    return next;
}

}  // namespace host
}  // namespace android
