// Transactions with the lyrd service, as lyrdctl send, transact and dump
// make them.
#pragma once

#include <ostream>

#include <binder/Parcel.h>

#include "Arguments.h"

namespace lyrdctl {

constexpr const char* kServiceName = "lyrd";
constexpr uint32_t kSendEventCode = 1;

// The data parcel of lyrdctl send: the token and the name as a String16.
void buildSendData(const SendCommand& send, android::Parcel* data);
// The data parcel of a raw transaction: the token unless left out, then
// the name when one is given.
void buildTransactData(const TransactCommand& transact, android::Parcel* data);

// The exit status of lyrdctl send: 0 with the reply printed on out, and a
// line on err saying what it means when it is not 0; 1 with a message on
// err when the service cannot be reached, the transaction fails or the
// reply holds no Int32.
int runSend(const SendCommand& send, std::ostream& out, std::ostream& err);
// The exit status of lyrdctl transact: 0 whenever the service is reached,
// with status=S and, when the reply holds an Int32, reply=R on out.
int runTransact(const TransactCommand& transact, std::ostream& out, std::ostream& err);
// The exit status of lyrdctl dump: 0 once the service has written its
// report to outFd and answered; 1 with a message on err otherwise.
int runDump(const DumpCommand& dump, int outFd, std::ostream& err);

}  // namespace lyrdctl
