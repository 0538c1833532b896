// Objects of a real server program, created by program id through a
// program registry, as the extension creates the bridge's.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/automation/ProgramRegistry.h"
#include "platform/automation/remote/CreateObject.h"
#include "platform/automation/remote/RemoteProxy.h"
#include "tests/platform/automation/remote/LinkPeers.h"
#include "tests/platform/automation/remote/TestObjects.h"

namespace quill::remotetest {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

pid_t serverPid(const DispatchPtr& object) { return late::call(object, "ProcessId").longValue(); }

// True once the process is gone (reaped, or never ours).
bool gone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// A folder with a program registry naming the test server, and a few
// entries that cannot work.
class RemoteServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerTestTypes();
    folder_ = fs::temp_directory_path() / ("quill-remote-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
    std::ofstream(folder_ / ProgramRegistry::kFileName)
        << "QuillTest.Probe = localserver " << QUILL_TEST_SERVER << "\n"
        << "QuillTest.NotInTheServer = localserver " << QUILL_TEST_SERVER << "\n"
        << "QuillTest.Missing = localserver /nonexistent/quill-server\n"
        << "QuillTest.EndsAtOnce = localserver /bin/true\n";
    registry_ = ProgramRegistry::load(folder_ / ProgramRegistry::kFileName);
  }
  void TearDown() override {
    ::unsetenv(RemoteLink::kTimeoutVariable);
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  DispatchPtr create(std::string_view progId = kProbeProgId) { return createObject(progId, registry_); }

  fs::path folder_;
  ProgramRegistry registry_;
};

TEST_F(RemoteServerTest, AServerObjectIsCreatedByProgramIdAndRunsInTheClientsFolder) {
  auto previous = fs::current_path();
  fs::current_path(folder_);
  auto probe = create("QUILLTEST.probe");
  fs::current_path(previous);
  EXPECT_NE(dynamic_cast<RemoteProxy*>(probe.get()), nullptr);
  EXPECT_NE(serverPid(probe), ::getpid());
  EXPECT_EQ(fs::path(late::call(probe, "CurrentFolder").stringValue()), fs::canonical(folder_));
  auto mine = std::make_shared<Probe>("client");
  EXPECT_EQ(late::call(probe, "Bounce", {Variant(std::int32_t{4}), Variant(DispatchPtr(mine))}),
            Variant("server4 client3 server2 client1 server0"));
  auto rows = late::call(probe, "MakeRows", {Variant(std::int32_t{2})}).objectValue();
  EXPECT_NE(dynamic_cast<TestRows*>(rows.get()), nullptr);
}

TEST_F(RemoteServerTest, WhatCannotBeCreatedFailsWith429) {
  for (const char* progId :
       {"QuillTest.NotRegistered", "QuillTest.Missing", "QuillTest.EndsAtOnce", "QuillTest.NotInTheServer"}) {
    auto error = errorOf([&] { create(progId); });
    EXPECT_EQ(error.number(), 429) << progId;
    EXPECT_EQ(error.description(), "ActiveX component can't create object") << progId;
  }
  EXPECT_EQ(errorOf([&] { createObject("QuillTest.NotRegistered"); }).number(), 429);
}

TEST_F(RemoteServerTest, ObjectsShareTheRunningServerAndTheLastReleaseEndsIt) {
  auto first = create();
  auto second = create();
  const pid_t pid = serverPid(first);
  EXPECT_EQ(serverPid(second), pid);
  EXPECT_EQ(late::call(first, "LiveProbes"), Variant(std::int32_t{2}));
  first.reset();
  EXPECT_FALSE(gone(pid));
  second.reset();
  EXPECT_TRUE(gone(pid)) << "ended and reaped when the last proxy went";

  auto again = create();
  EXPECT_NE(serverPid(again), pid);
}

TEST_F(RemoteServerTest, AServerKilledDuringACallGives462WithinASecond) {
  auto probe = create();
  const pid_t pid = serverPid(probe);
  const pid_t killer = ::fork();
  if (killer == 0) {
    ::usleep(200 * 1000);
    ::kill(pid, SIGKILL);
    ::_exit(0);
  }
  auto elapsed = millisecondsOf(
      [&] { EXPECT_EQ(errorOf([&] { late::call(probe, "Sleep", {Variant(std::int32_t{20000})}); }).number(), 462); });
  ::waitpid(killer, nullptr, 0);
  EXPECT_LT(elapsed, 200 + 1000);
  auto later = millisecondsOf([&] { EXPECT_EQ(errorOf([&] { late::call(probe, "Nothing"); }).number(), 462); });
  EXPECT_LT(later, 50);
  EXPECT_TRUE(gone(pid));

  auto fresh = create();
  EXPECT_NE(serverPid(fresh), pid);
}

TEST_F(RemoteServerTest, AServerSilentBeyondTheTimeoutGives462AndIsStopped) {
  ::setenv(RemoteLink::kTimeoutVariable, "300", 1);
  auto probe = create();
  const pid_t pid = serverPid(probe);
  auto elapsed = millisecondsOf(
      [&] { EXPECT_EQ(errorOf([&] { late::call(probe, "Sleep", {Variant(std::int32_t{20000})}); }).number(), 462); });
  EXPECT_GE(elapsed, 250);
  EXPECT_LT(elapsed, 2000);
  EXPECT_TRUE(gone(pid));
}

TEST_F(RemoteServerTest, AServerEndsWhenItsClientDisappears) {
  // Orphans are handed to this process, so that they can be waited for.
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  for (bool killed : {false, true}) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t client = ::fork();
    if (client == 0) {
      ::close(pipeFds[0]);
      pid_t pid = -1;
      DispatchPtr kept;
      try {
        kept = create();
        pid = serverPid(kept);
      } catch (...) {
      }
      (void)!::write(pipeFds[1], &pid, sizeof pid);
      if (killed) ::raise(SIGKILL);
      ::_exit(0);  // no destructors: the proxy is never released
    }
    ::close(pipeFds[1]);
    pid_t pid = -1;
    ASSERT_EQ(::read(pipeFds[0], &pid, sizeof pid), static_cast<ssize_t>(sizeof pid));
    ::close(pipeFds[0]);
    ASSERT_GT(pid, 0);
    ::waitpid(client, nullptr, 0);
    bool ended = false;
    for (int i = 0; i < 200 && !ended; ++i) {
      ended = ::waitpid(pid, nullptr, WNOHANG) == pid;
      if (!ended) std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(ended) << (killed ? "client killed" : "client exited");
    if (!ended) ::kill(pid, SIGKILL);
  }
  ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

}  // namespace
}  // namespace quill::remotetest
