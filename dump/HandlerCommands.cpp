// The handler commands: how one command line is built and run, and the
// passes over the handler lists that run enable commands at start-up and
// dump commands at each dump.
#define LOG_TAG "LyrDebugService"

#include <log/log.h>

#include "config/Event.h"
#include "config/Handler.h"
#include "config/Monitor.h"
#include "service/LyrDebugService.h"

namespace ornak {
namespace xel {
namespace {

using Handler = LyrDebugService::Handler;

// Which of a handler's two commands runs.
struct CommandKind {
    bool enable;
    const String8 Handler::*command;
    const Vector<String8> Handler::*paras;
};

const CommandKind kEnable{true, &Handler::mEnableCmd, &Handler::mEnableParas};
const CommandKind kDump{false, &Handler::mDumpCmd, &Handler::mDumpParas};

// The result of running one handler's command.
struct RunResult {
    int status = 0;  // 0, or the negative result of the line that could not run
    String8 failedLine;
};

// Without a limit a line runs through system() itself.
int runLine(const HandlerShell& shell, const CommandKind& kind, const String8& line) {
    if (kind.enable) {
        ALOGD("Enable cmd: %s", line.string());
    } else {
        ALOGD("Dump cmd: %s", line.string());
    }
    if (shell.limitSeconds <= 0) return shell.system.runShell(line.string());
    ShellOutcome outcome = shell.system.runShellWithin(line.string(), shell.limitSeconds);
    if (outcome.timedOut) {
        ALOGW("Handler command timed out after %d s: %s", shell.limitSeconds, line.string());
    }
    return outcome.status;
}

// One line per parameter, never joined; the parameter text goes to the
// shell unchanged so that a configuration can pass several words. Only a
// shell that could not run is a failure, and it ends the handler's lines.
RunResult runCommand(const HandlerShell& shell, const Handler& handler, const CommandKind& kind) {
    RunResult result;
    const String8& command = handler.*kind.command;
    const Vector<String8>& paras = handler.*kind.paras;
    if (command.isEmpty()) {
        if (kind.enable) {
            ALOGD("No enable cmd for %s", handler.mName.string());
        } else {
            ALOGD("No dump cmd for %s", handler.mName.string());
        }
        return result;
    }
    if (paras.isEmpty()) {
        int status = runLine(shell, kind, command);
        if (status < 0) result = {status, command};
        return result;
    }
    for (size_t i = 0; i < paras.size(); ++i) {
        String8 line = String8::format("%s %s", command.string(), paras[i].string());
        int status = runLine(shell, kind, line);
        if (status < 0) return {status, line};
    }
    return result;
}

void enableHandler(const HandlerShell& shell, const Handler& handler) {
    RunResult result = runCommand(shell, handler, kEnable);
    if (result.status < 0) {
        ALOGE("Enable handler failed, %s", result.failedLine.string());
        ALOGE("Enable handler failed, cmd: %s", handler.mEnableCmd.string());
    }
}

}  // namespace

status_t LyrDebugService::enableHandlers() {
    const HandlerShell shell = handlerShell();
    ALOGD("Enable global handlers");
    for (size_t i = 0; i < mGlobalHandlers.size(); ++i) {
        const Handler& handler = mGlobalHandlers[i];
        if (handler.mEnabled) enableHandler(shell, handler);
    }

    // Every enabled monitor enables its own copies, so a handler held by
    // two of its events is enabled twice.
    ALOGD("Enable monitor");
    for (size_t m = 0; m < mMonitors.size(); ++m) {
        const Monitor& monitor = mMonitors[m];
        if (!monitor.mEnabled) continue;
        for (size_t e = 0; e < monitor.mEvents.size(); ++e) {
            const Vector<Handler>& handlers = monitor.mEvents[e].mHandlers;
            for (size_t h = 0; h < handlers.size(); ++h) {
                const Handler& handler = handlers[h];
                if (handler.mEnabled && handler.mLevel <= monitor.mLevel) {
                    enableHandler(shell, handler);
                }
            }
        }
    }
    return android::NO_ERROR;
}

void LyrDebugService::dumpGlobalHandlers(int32_t level) {
    const HandlerShell shell = handlerShell();
    ALOGD("Global handler dump start");
    for (size_t i = 0; i < mGlobalHandlers.size(); ++i) {
        const Handler& handler = mGlobalHandlers[i];
        if (!handler.mEnabled || handler.mLevel > level) continue;
        RunResult result = runCommand(shell, handler, kDump);
        if (result.status < 0) ALOGE("Dump handler failed, %s", result.failedLine.string());
    }
    ALOGD("Global handler dump finish");
}

status_t LyrDebugService::Event::dumpHandlers(int32_t level, const HandlerShell& shell) {
    for (size_t i = 0; i < mHandlers.size(); ++i) {
        const Handler& handler = mHandlers[i];
        if (!handler.mEnabled || handler.mLevel > level) continue;
        RunResult result = runCommand(shell, handler, kDump);
        if (result.status < 0) {
            ALOGE("Dump handler failed, %s", result.failedLine.string());
            ALOGE("Dump handler failed for event %s, handler %s", mName.string(),
                  handler.statusText(0).string());
            return result.status;
        }
    }
    return android::NO_ERROR;
}

}  // namespace xel
}  // namespace ornak
