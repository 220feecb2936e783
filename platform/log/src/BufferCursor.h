// Reads the records of one log buffer file in file order.
//
// The cursor keeps what it has read of the file in memory and hands out one
// whole, valid record at a time. A record still being written (the file
// ends inside it) is left for a later look; bytes that are not a record are
// passed over until the next valid record; a file that became shorter than
// what was read is read again from its start.
#pragma once

#include <stddef.h>
#include <sys/types.h>

#include <string>
#include <vector>

#include <utils/UniqueFd.h>

namespace android {
namespace host {

class BufferCursor {
  public:
    // Opens the regular file at path from its first byte; 0 or a negative
    // errno.
    int open(const std::string& path);

    // 1 when a whole record is at the head (see head() and headSize()), 0
    // when the file holds no further whole record yet, or a negative errno.
    int peek();
    // The record found by the last successful peek(), header first.
    const char* head() const { return mData.data() + mPos; }
    size_t headSize() const { return mHeadSize; }
    // Drops the head record; the next peek() looks at the one after it.
    void advance();

  private:
    // Reads more of the file into mData: bytes read, 0 when there is
    // nothing new, or a negative errno.
    ssize_t fill();
    void restart();

    UniqueFd mFd;
    std::vector<char> mData;  // the file's bytes from mDataOffset on
    off_t mDataOffset = 0;
    size_t mPos = 0;       // first byte of mData not handed out
    size_t mHeadSize = 0;  // size of the record at mPos, 0 until peek() finds it
};

}  // namespace host
}  // namespace android
