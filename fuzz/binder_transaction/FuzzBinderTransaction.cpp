// Hands a parcel of arbitrary bytes, with an arbitrary code and flags, to
// BnLyrDebugService::onTransact of a stand-in that records what sendEvent
// gets. Aborts unless the outcome is what a plain decode of the parcel's
// wire form says: SEND_EVENT with a wrong or missing token fails with
// PERMISSION_DENIED (-1), calls nothing and writes no reply; with the right
// token it calls sendEvent once with the name (empty when the string is
// cut short or malformed) and writes exactly one Int32, its result; every
// other code gets the plain binder answers and calls nothing.
//
// The input's end chooses the call (FuzzedDataProvider integers, in the
// order LLVMFuzzerTestOneInput takes them); its front is the parcel,
// optionally after a right token so that the name itself is explored.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <iterator>
#include <string>
#include <vector>

#include <binder/IBinder.h>
#include <binder/Parcel.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <utils/String16.h>
#include <utils/String8.h>

#include "service/ILyrDebugService.h"

namespace {

using android::IBinder;
using android::Parcel;
using android::status_t;
using ornak::xel::BnLyrDebugService;
using ornak::xel::ILyrDebugService;

constexpr char16_t kDescriptor[] = u"ornak.xel.lyrd";
static_assert(android::PERMISSION_DENIED == -1, "a refused token answers -1");

const uint32_t kCodes[] = {
        ILyrDebugService::SEND_EVENT,     IBinder::INTERFACE_TRANSACTION,
        IBinder::SYSPROPS_TRANSACTION,    IBinder::DUMP_TRANSACTION,
        IBinder::PING_TRANSACTION,        0,
        ILyrDebugService::SEND_EVENT + 1, IBinder::LAST_CALL_TRANSACTION,
};

// The service without its threads: sendEvent only records the name.
class RecordingService : public BnLyrDebugService {
  public:
    status_t sendEvent(const android::String8& name) override {
        mNames.emplace_back(name.c_str(), name.length());
        return mResult;
    }

    std::vector<std::string> mNames;
    status_t mResult = android::NO_ERROR;
};

// The parcel's wire form read plainly: little-endian words, a String16 as
// a count, the units, a 0 unit, padded to 4 bytes.
class WireReader {
  public:
    WireReader(const uint8_t* bytes, size_t size) : mBytes(bytes), mSize(size) {}

    bool word(uint32_t* value) {
        if (mSize - mPos < 4) return false;
        *value = mBytes[mPos] | mBytes[mPos + 1] << 8 | mBytes[mPos + 2] << 16 |
                 static_cast<uint32_t>(mBytes[mPos + 3]) << 24;
        mPos += 4;
        return true;
    }

    // False for a malformed string, which moves nothing; *isNull for -1.
    bool string16(std::u16string* units, bool* isNull) {
        size_t start = mPos;
        uint32_t count = 0;
        if (!word(&count)) return false;
        *isNull = count == 0xffffffff;
        if (*isNull) return true;
        uint64_t bytes = (static_cast<uint64_t>(count) + 1) * 2;
        uint64_t padded = (bytes + 3) / 4 * 4;
        if (count > 0x7fffffff || padded > mSize - mPos || mBytes[mPos + 2 * count] != 0 ||
            mBytes[mPos + 2 * count + 1] != 0) {
            mPos = start;
            return false;
        }
        units->clear();
        for (uint32_t i = 0; i < count; ++i)
            units->push_back(
                    static_cast<char16_t>(mBytes[mPos + 2 * i] | mBytes[mPos + 2 * i + 1] << 8));
        mPos += padded;
        return true;
    }

  private:
    const uint8_t* mBytes;
    size_t mSize;
    size_t mPos = 0;
};

void appendUtf8(std::string& out, uint32_t value) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xc0 | value >> 6);
        out += static_cast<char>(0x80 | (value & 0x3f));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xe0 | value >> 12);
        out += static_cast<char>(0x80 | (value >> 6 & 0x3f));
        out += static_cast<char>(0x80 | (value & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | value >> 18);
        out += static_cast<char>(0x80 | (value >> 12 & 0x3f));
        out += static_cast<char>(0x80 | (value >> 6 & 0x3f));
        out += static_cast<char>(0x80 | (value & 0x3f));
    }
}

// UTF-8 of the units, a lone surrogate as U+FFFD.
std::string toUtf8(const std::u16string& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t unit = units[i];
        bool high = unit >= 0xd800 && unit < 0xdc00;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xdc00 && units[i + 1] < 0xe000) {
            appendUtf8(out, 0x10000 + ((unit - 0xd800) << 10) + (units[++i] - 0xdc00));
        } else {
            appendUtf8(out, unit >= 0xd800 && unit < 0xe000 ? 0xfffd : unit);
        }
    }
    return out;
}

// What SEND_EVENT should hand to sendEvent; false for a wrong token.
bool expectedName(const std::vector<uint8_t>& bytes, std::string* name) {
    WireReader wire(bytes.data(), bytes.size());
    uint32_t policy = 0;
    std::u16string units;
    bool isNull = false;
    if (!wire.word(&policy) || !wire.string16(&units, &isNull) || isNull || units != kDescriptor) {
        return false;
    }
    name->clear();
    if (wire.string16(&units, &isNull) && !isNull) *name = toUtf8(units);
    return true;
}

void checkReplyInt32(const Parcel* reply, int32_t expected) {
    if (reply == nullptr) return;
    if (reply->dataSize() != 4) abort();
    reply->setDataPosition(0);
    if (reply->readInt32() != expected) abort();
}

void checkReplyEmpty(const Parcel* reply) {
    if (reply != nullptr && reply->dataSize() != 0) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const android::sp<RecordingService> service = new RecordingService;

    FuzzedDataProvider input(data, size);
    uint32_t code = input.ConsumeBool()
                            ? input.ConsumeIntegral<uint32_t>()
                            : kCodes[input.ConsumeIntegralInRange<size_t>(0, std::size(kCodes) - 1)];
    uint32_t flags = input.ConsumeIntegral<uint32_t>();
    bool withReply = input.ConsumeBool();
    bool withToken = input.ConsumeBool();
    service->mResult = input.ConsumeBool() ? android::INVALID_OPERATION : android::NO_ERROR;
    std::vector<uint8_t> rest = input.ConsumeRemainingBytes<uint8_t>();

    std::vector<uint8_t> bytes;
    if (withToken) {
        Parcel token;
        token.writeInterfaceToken(ILyrDebugService::descriptor);
        bytes.assign(token.data(), token.data() + token.dataSize());
    }
    bytes.insert(bytes.end(), rest.begin(), rest.end());

    Parcel parcel;
    if (parcel.setData(bytes.data(), bytes.size()) != android::NO_ERROR) abort();
    Parcel replyParcel;
    Parcel* reply = withReply ? &replyParcel : nullptr;
    service->mNames.clear();
    status_t status = service->onTransact(code, parcel, reply, flags);

    if (code == ILyrDebugService::SEND_EVENT) {
        std::string name;
        if (!expectedName(bytes, &name)) {
            if (status != android::PERMISSION_DENIED) abort();
            if (!service->mNames.empty()) abort();
            checkReplyEmpty(reply);
            return 0;
        }
        if (status != android::NO_ERROR) abort();
        if (service->mNames.size() != 1 || service->mNames[0] != name) abort();
        checkReplyInt32(reply, service->mResult);
        return 0;
    }

    if (!service->mNames.empty()) abort();
    if (code == IBinder::INTERFACE_TRANSACTION) {
        if (status != android::NO_ERROR) abort();
        if (reply == nullptr) return 0;
        std::vector<uint8_t> written(reply->data(), reply->data() + reply->dataSize());
        WireReader wire(written.data(), written.size());
        std::u16string units;
        bool isNull = false;
        uint32_t more = 0;
        if (!wire.string16(&units, &isNull) || isNull || units != kDescriptor || wire.word(&more))
            abort();
    } else if (code == IBinder::SYSPROPS_TRANSACTION) {
        if (status != android::NO_ERROR) abort();
        checkReplyEmpty(reply);
    } else if (code == IBinder::DUMP_TRANSACTION) {
        // Bytes alone never carry the descriptor a dump writes to.
        if (status != android::BAD_TYPE) abort();
        checkReplyEmpty(reply);
    } else {
        if (status != android::UNKNOWN_TRANSACTION) abort();
        checkReplyEmpty(reply);
    }
    return 0;
}
