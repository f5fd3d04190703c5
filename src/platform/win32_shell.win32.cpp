#include "platform/win32_shell.win32.hpp"

#include <shellapi.h>

#include <algorithm>
#include <chrono>

#include "base/errors.win32.hpp"
#include "base/handles.win32.hpp"
#include "base/message_queue.win32.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

using Clock = std::chrono::steady_clock;

// Output beyond this is dropped from the front: only the last lines are shown.
constexpr size_t kOutputLimit = 1 << 20;

// Reads the program's output streams until every writer has closed them.
// An anonymous pipe cannot be waited on beside the process and the message
// queue, so a thread of its own does the reading.
struct OutputReader {
  HANDLE pipe;
  std::string output;

  static DWORD WINAPI Run(void* self) {
    OutputReader& reader = *static_cast<OutputReader*>(self);
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(reader.pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) {
      reader.output.append(buffer, n);
      if (reader.output.size() > kOutputLimit) reader.output.erase(0, reader.output.size() - kOutputLimit);
    }
    return 0;
  }
};

// Console programs write in the OEM code page unless they write UTF-8;
// the program's own text is UTF-8.
std::string OutputAsUtf8(std::string bytes) {
  if (bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                           nullptr, 0) > 0) {
    return bytes;
  }
  return AnsiToUtf8(bytes, GetOEMCP());
}

ProcessRun NotStarted(DWORD error) { return {ProcessRun::Outcome::NotStarted, 0, static_cast<int>(error), {}}; }

std::wstring CommandLineOf(const ProcessRequest& request) {
  std::wstring line = L"\"" + ToWide(request.program) + L"\"";
  if (!request.parameters.empty()) line += L" " + ToWide(request.parameters);
  return line;
}

// A job that ends every process in it when it is closed.
UniqueKernelHandle CreateKillOnCloseJob() {
  UniqueKernelHandle job(CreateJobObjectW(nullptr, nullptr));
  if (!job.valid()) return job;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) job.reset();
  return job;
}

}  // namespace

ProcessRun Win32Shell::RunProgram(const ProcessRequest& request) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readRaw = nullptr;
  HANDLE writeRaw = nullptr;
  if (!CreatePipe(&readRaw, &writeRaw, &inheritable, 0)) return NotStarted(GetLastError());
  UniqueKernelHandle readEnd(readRaw);
  UniqueKernelHandle writeEnd(writeRaw);
  if (!SetHandleInformation(readRaw, HANDLE_FLAG_INHERIT, 0)) return NotStarted(GetLastError());
  UniqueHandle input(
      CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr));
  if (!input.valid()) return NotStarted(GetLastError());

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = writeRaw;
  startup.hStdError = writeRaw;
  const std::wstring program = ToWide(request.program);
  std::wstring commandLine = CommandLineOf(request);
  PROCESS_INFORMATION started{};
  // The full path is both the program and the command line's first word, so
  // nothing is searched for: a namesake in the working folder is never run.
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED,
                      nullptr, nullptr, &startup, &started)) {
    return NotStarted(GetLastError());
  }
  const UniqueKernelHandle process(started.hProcess);
  const UniqueKernelHandle thread(started.hThread);
  writeEnd.reset();
  input.reset();
  // Without a job (a system that refuses nested jobs) only the program itself
  // can be ended.
  UniqueKernelHandle job = CreateKillOnCloseJob();
  if (job.valid() && !AssignProcessToJobObject(job.get(), process.get())) job.reset();
  auto endProgram = [&] {
    if (!job.valid() || !TerminateJobObject(job.get(), 1)) TerminateProcess(process.get(), 1);
  };

  OutputReader reader{readEnd.get(), {}};
  const UniqueKernelHandle readerThread(CreateThread(nullptr, 0, &OutputReader::Run, &reader, 0, nullptr));
  if (!readerThread.valid()) {
    endProgram();
    return NotStarted(GetLastError());
  }
  ResumeThread(thread.get());

  const bool hasDeadline = request.timeout.count() > 0;
  const Clock::time_point deadline = Clock::now() + request.timeout;
  ProcessRun run{ProcessRun::Outcome::Exited, 0, 0, {}};
  HANDLE handle = process.get();
  for (;;) {
    DWORD waitMs = INFINITE;
    if (hasDeadline) {
      // A wait takes at most 2^31 ms; a longer deadline (a --timeout of 50
      // days or more) is waited for in parts rather than wrapped to a short one.
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      waitMs = static_cast<DWORD>(std::clamp<long long>(left, 0, 0x7FFFFFFF));
    }
    // MWMO_INPUTAVAILABLE also wakes for messages that were already queued
    // before the call, so nothing waits behind the process.
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &handle, waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) break;
    if (woke == WAIT_TIMEOUT && Clock::now() < deadline) {
      continue;
    } else if (woke == WAIT_TIMEOUT) {
      run.outcome = ProcessRun::Outcome::TimedOut;
    } else if (woke != WAIT_OBJECT_0 + 1) {
      run = NotStarted(GetLastError());
    } else if (!DrainMessageQueue()) {
      run.outcome = ProcessRun::Outcome::Terminating;
    } else if (request.stopRequested && request.stopRequested()) {
      run.outcome = ProcessRun::Outcome::Stopped;
    } else {
      continue;
    }
    endProgram();
    break;
  }
  // The streams close when the program and everything it started have ended;
  // a child left behind holding them is ended with its job.
  if (WaitForSingleObject(readerThread.get(), 2000) == WAIT_TIMEOUT) {
    endProgram();
    if (WaitForSingleObject(readerThread.get(), 2000) == WAIT_TIMEOUT) {
      CancelSynchronousIo(readerThread.get());
      WaitForSingleObject(readerThread.get(), INFINITE);
    }
  }
  run.output = OutputAsUtf8(std::move(reader.output));
  if (run.outcome != ProcessRun::Outcome::Exited) return run;
  DWORD code = 0;
  if (!GetExitCodeProcess(handle, &code)) ThrowLastError("GetExitCodeProcess");
  run.exitCode = code;
  return run;
}

bool Win32Shell::Execute(ShellVerb verb, const std::string& target, ShowState show, bool owned) {
  const wchar_t* verbText = verb == ShellVerb::Explore ? L"explore" : L"open";
  const HINSTANCE result = ShellExecuteW(owned ? owner_ : nullptr, verbText, ToWide(target).c_str(), nullptr, nullptr,
                                         static_cast<int>(show));
  return reinterpret_cast<INT_PTR>(result) > 32;
}

namespace {

// The folder a system call names; empty when the call fails and `api` is null.
std::string FolderFrom(UINT(WINAPI* get)(LPWSTR, UINT), const char* api) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const UINT n = get(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n == 0) {
      if (api) ThrowLastError(api);
      return {};
    }
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(n);  // n is the size needed, terminating zero included
  }
  std::string folder = ToUtf8(buffer);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

std::string Win32Shell::SystemDirectory() { return FolderFrom(&GetSystemDirectoryW, "GetSystemDirectoryW"); }

// Empty on a 32-bit system, where the call fails.
std::string Win32Shell::System32BitDirectory() { return FolderFrom(&GetSystemWow64DirectoryW, nullptr); }

std::unique_ptr<Shell> CreateSystemShell() { return std::make_unique<Win32Shell>(); }

}  // namespace kovan

namespace kovan {

namespace {

DWORD WINAPI RunWorkThread(void* work) {
  (*static_cast<const std::function<void()>*>(work))();
  return 0;
}

}  // namespace

bool Win32Shell::RunWork(const std::function<void()>& work, const std::function<void()>& requestStop) {
  const UniqueKernelHandle thread(
      CreateThread(nullptr, 0, &RunWorkThread, const_cast<std::function<void()>*>(&work), 0, nullptr));
  if (!thread.valid()) ThrowLastError("CreateThread");
  HANDLE handle = thread.get();
  bool live = true;
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0) break;
    if (woke == WAIT_OBJECT_0 + 1 && DrainMessageQueue()) continue;
    // Closing, or the wait itself failed: the work is told to stop and waited for.
    live = false;
    if (requestStop) requestStop();
    WaitForSingleObject(handle, INFINITE);
    break;
  }
  return live;
}

}  // namespace kovan
