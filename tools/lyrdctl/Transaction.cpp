#include "Transaction.h"

#include <binder/IBinder.h>
#include <binder/IServiceManager.h>
#include <binder/host_binder.h>
#include <utils/String16.h>

#include "SendReply.h"

namespace lyrdctl {
namespace {

using android::IBinder;
using android::Parcel;
using android::sp;
using android::status_t;
using android::String16;
using android::Vector;

sp<IBinder> reachService(std::ostream& err) {
    sp<IBinder> service = android::defaultServiceManager()->checkService(String16(kServiceName));
    if (service == nullptr) {
        err << "lyrdctl: cannot reach the service " << kServiceName << " at "
            << android::host::binderServiceDir() << "/" << kServiceName << "\n";
    }
    return service;
}

String16 toString16(const std::string& text) {
    return String16(text.data(), text.size());
}

int failed(status_t status, std::ostream& err) {
    err << "transaction failed: " << status << "\n";
    return 1;
}

}  // namespace

void buildSendData(const SendCommand& send, Parcel* data) {
    data->writeInterfaceToken(String16(kDescriptor));
    data->writeString16(String16(send.name.data(), send.name.size()));
}

void buildTransactData(const TransactCommand& transact, Parcel* data) {
    if (transact.token) {
        data->writeInterfaceToken(String16(transact.token->data(), transact.token->size()));
    }
    if (transact.name) data->writeString16(String16(transact.name->data(), transact.name->size()));
}

int runSend(const SendCommand& send, std::ostream& out, std::ostream& err) {
    sp<IBinder> service = reachService(err);
    if (service == nullptr) return 1;
    Parcel data;
    Parcel reply;
    buildSendData(send, &data);
    status_t status = service->transact(kSendEventCode, data, &reply);
    if (status != android::NO_ERROR) return failed(status, err);
    int32_t result = 0;
    if (reply.readInt32(&result) != android::NO_ERROR) {
        err << "lyrdctl: the reply holds no Int32\n";
        return 1;
    }
    out << result << "\n" << std::flush;
    if (result != android::NO_ERROR) err << explainSendReply(result) << "\n";
    return 0;
}

int runTransact(const TransactCommand& transact, std::ostream& out, std::ostream& err) {
    sp<IBinder> service = reachService(err);
    if (service == nullptr) return 1;
    Parcel data;
    Parcel reply;
    buildTransactData(transact, &data);
    uint32_t flags = transact.oneway ? IBinder::FLAG_ONEWAY : 0;
    status_t status = service->transact(transact.code, data, &reply, flags);
    out << "status=" << status << "\n";
    int32_t result = 0;
    if (reply.readInt32(&result) == android::NO_ERROR) out << "reply=" << result << "\n";
    return 0;
}

int runDump(const DumpCommand& dump, int outFd, std::ostream& err) {
    sp<IBinder> service = reachService(err);
    // No answer is a failed transaction too, as a dead service's would be.
    if (service == nullptr) return failed(android::DEAD_OBJECT, err);
    Vector<String16> args;
    for (const std::string& arg : dump.args) args.add(toString16(arg));
    status_t status = service->dump(outFd, args);
    return status == android::NO_ERROR ? 0 : failed(status, err);
}

}  // namespace lyrdctl
