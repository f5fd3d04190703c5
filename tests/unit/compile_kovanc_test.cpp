// kovanc's key check, script and compile commands, run as a program with the
// stand-in compiler as GoRC on PATH.
#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "pool/pool_file.hpp"
#include "pool/resource_script.hpp"
#include "support/run_kovanc.hpp"
#include "support/pending_names.hpp"
#include "support/test_util.hpp"

#ifndef _WIN32
namespace kovan {
namespace {

using test::Q;
using Result = test::CommandResult;

class KovancCompile : public ::testing::Test {
 protected:
  KovancCompile() {
    std::filesystem::copy_file(FolderOf(KOVANC_PATH) + "fake_gorc", bin / "GoRC");
    pool.Append("ICON1", "ico", "C:\\Icons\\app.ico");
    pool.Append("PIC", "bmp", "C:\\My Pictures\\b.bmp");
  }

  // Runs kovanc with GoRC on PATH (unless `withCompiler` is false); `env`
  // adds variables. Standard error joins the output when `withErrors` is set.
  Result Kovanc(const std::string& args, const std::string& env = "", bool withCompiler = true,
                bool withErrors = false) {
    const std::string path = withCompiler ? bin.str() + ":/usr/bin:/bin" : "/usr/bin:/bin";
    const std::string command = "env PATH=" + Q(path) + " FAKE_GORC_LOG=" + Q(dir / "log") + " " + env + " " +
                                std::string(KOVANC_PATH) + " " + args + (withErrors ? " 2>&1" : " 2>/dev/null");
    return test::RunCommand(command);
  }

  // Standard error alone, with GoRC on PATH.
  Result Errors(const std::string& args, const std::string& env) {
    return test::RunCommand("env PATH=" + Q(bin.str() + ":/usr/bin:/bin") + " FAKE_GORC_LOG=" + Q(dir / "log") + " " +
                            env + " " + std::string(KOVANC_PATH) + " " + args + " 2>&1 >/dev/null");
  }

  // The compiler's log, with the fresh name it wrote its output under
  // ("FOLDER~<16 hex digits>-NAME") given back as the output's own name.
  std::string CompilerLog() { return test::WithoutPendingNames(test::ReadBytes(dir / "log")); }

  std::string PoolFile() {
    const std::string file = dir / "Liste.kvl";
    WritePoolFile(pool, file);
    return file;
  }

  test::TempDir bin;
  test::TempDir dir;
  ResourcePool pool;
};

TEST_F(KovancCompile, CheckAndScriptReportTheEntriesAtFault) {
  const std::string sound = PoolFile();
  EXPECT_EQ(Kovanc("pool check " + Q(sound)).exitCode, 0);
  EXPECT_EQ(Kovanc("pool check " + Q(sound)).out, "");

  pool.Append("?", "ico", "C:\\x\\q.ico");
  pool.Append("PIC", "png", "C:\\c.png");
  pool.Append("?", "ico", "C:\\x\\r.ico");
  const std::string faulty = PoolFile();
  const std::string report = "missing: q.ico\nmissing: r.ico\nshared: PIC->b.bmp\nshared: PIC->c.png\n";
  for (const std::string& command :
       {std::string("pool check "), std::string("script "), "compile --res " + Q(dir / "out") + " "}) {
    SCOPED_TRACE(command);
    const Result r = Kovanc(command + Q(faulty));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, report);
  }
  EXPECT_FALSE(FileExists(dir / "liste.rc"));
  EXPECT_FALSE(FileExists(dir / "log"));
  EXPECT_NE(Kovanc("pool check " + Q(dir / "none.kvl")).exitCode, 0);
}

TEST_F(KovancCompile, ScriptAndCompileRefuseEntriesThatWouldAddScriptOfTheirOwn) {
  // A file name that closes the quotes and names another file to build in.
  pool.Append("ICON2", "ENV", dir / "x\" LEAK RCDATA \"secret.env");
  pool.Append("BAD KEY", "ico", dir / "k.ico");
  const std::string file = PoolFile();
  for (const std::string& command : {std::string("script "), "compile --res " + Q(dir / "out") + " "}) {
    SCOPED_TRACE(command);
    const Result r = Errors(command + Q(file), "");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find(dir / "x\" LEAK RCDATA \"secret.env\": the path holds a double quote"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(dir / "k.ico\": the key name \"BAD KEY\""), std::string::npos) << r.out;
  }
  EXPECT_FALSE(FileExists(dir / "liste.rc"));
  EXPECT_FALSE(FileExists(dir / "out.res"));
  EXPECT_FALSE(FileExists(dir / "log"));
}

TEST_F(KovancCompile, ScriptGoesBesideThePoolFileOrWhereSaid) {
  const std::string file = PoolFile();
  EXPECT_EQ(Kovanc("script " + Q(file)).exitCode, 0);
  EXPECT_EQ(test::ReadBytes(dir / "liste.rc"), ResourceScriptBytes(pool));
  EXPECT_EQ(Kovanc("script " + Q(file) + " -o " + Q(dir / "other.rc")).exitCode, 0);
  EXPECT_EQ(test::ReadBytes(dir / "other.rc"), ResourceScriptBytes(pool));
  EXPECT_NE(Kovanc("script " + Q(file) + " -o " + Q(dir / "no/such/x.rc")).exitCode, 0);
}

TEST_F(KovancCompile, CompileStartsGoRCWithTheScriptAndReportsItsExitCode) {
  const std::string file = PoolFile();
  const std::string script = dir / "liste.rc";
  Result r = Kovanc("compile --obj " + Q(dir / "my out") + " " + Q(file));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, dir / "my out.obj" + "\n");
  EXPECT_EQ(CompilerLog(), "arg: /no/o/fo\narg: " + dir / "my out.obj" + "\narg: " + script + "\n");
  EXPECT_EQ(test::ReadBytes(dir / "my out.obj"), ResourceScriptBytes(pool));  // GoRC read the script

  std::filesystem::remove(test::FsPath(dir / "log"));
  r = Kovanc("compile --res " + Q(dir / "app.RES") + " " + Q(file), "FAKE_GORC_EXIT=9", true, true);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.out.find("exit code 9"), std::string::npos) << r.out;
  EXPECT_EQ(CompilerLog(), "arg: /no/r/fo\narg: " + dir / "app.RES" + "\narg: " + script + "\n");

  r = Kovanc("compile --compiler gorc --res " + Q(dir / "app") + " " + Q(file), "", false, true);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.out.find("GoRC was not found"), std::string::npos) << r.out;

  EXPECT_NE(Kovanc("compile " + Q(dir / "app") + " " + Q(file)).exitCode, 0);
  EXPECT_NE(Kovanc("compile --res --obj " + Q(dir / "app") + " " + Q(file)).exitCode, 0);
  pool.Clear();
  EXPECT_EQ(Kovanc("compile --res " + Q(dir / "app") + " " + Q(PoolFile())).exitCode, 1);
}

TEST_F(KovancCompile, Res2ObjHandsTheResFileToGoRC) {
  test::WriteBytes(dir / "in.res", "RES BYTES");
  Result r = Kovanc("res2obj " + Q(dir / "in.res") + " " + Q(dir / "lib"));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, dir / "lib.obj" + "\n");
  EXPECT_EQ(CompilerLog(), "arg: /no/fo\narg: " + dir / "lib.obj" + "\narg: " + dir / "in.res" + "\n");
  EXPECT_EQ(test::ReadBytes(dir / "lib.obj"), "RES BYTES");

  r = Kovanc("res2obj " + Q(dir / "in.res") + " " + Q(dir / "lib.obj"), "FAKE_GORC_EXIT=1");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(Kovanc("res2obj --compiler gorc " + Q(dir / "in.res") + " " + Q(dir / "lib"), "", false).exitCode, 2);
}

TEST_F(KovancCompile, ACompilerThatNeverEndsIsEndedAtTheTimeout) {
  test::WriteBytes(dir / "in.res", "x");
  const Result r = Kovanc("res2obj --timeout 1 " + Q(dir / "in.res") + " " + Q(dir / "lib"),
                          "FAKE_GORC_DELAY_MS=600000 FAKE_GORC_WHO=" + Q(dir / "who"), true, true);
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_NE(r.out.find("did not finish within 1 seconds"), std::string::npos) << r.out;
  // The compiler's process is gone with it.
  // ("[G]" keeps the pattern from matching the shell that runs pgrep.)
  const std::string pid = test::RunCommand("pgrep -f " + Q(bin / "[G]oRC")).out;
  EXPECT_EQ(pid, "");
}

TEST_F(KovancCompile, AFailedOrStoppedCompileLeavesNoOutputAndKeepsTheEarlierOne) {
  // The stand-in writes its output in full before it fails, as a compiler
  // that stops half-way may leave a file behind.
  const std::string file = PoolFile();
  for (const bool earlier : {false, true}) {
    SCOPED_TRACE(earlier);
    if (earlier) test::WriteBytes(dir / "app.res", "EARLIER");
    const Result r = Kovanc("compile --res " + Q(dir / "app") + " " + Q(file), "FAKE_GORC_EXIT=9");
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(FileExists(dir / "app.res"), earlier);
    if (earlier) {
      EXPECT_EQ(test::ReadBytes(dir / "app.res"), "EARLIER");
    }
    const std::string written = test::ReadBytes(dir / "log");
    EXPECT_EQ(written.find("arg: " + dir / "app.res\n"), std::string::npos) << "written under a fresh name";
    std::filesystem::remove(test::FsPath(dir / "log"));
  }
  // Only the list, its script and the earlier output are left: no fresh name.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::FsPath(dir.str())), {}), 3);

  const Result ok = Kovanc("compile --res " + Q(dir / "app") + " " + Q(file));
  EXPECT_EQ(ok.exitCode, 0);
  EXPECT_EQ(test::ReadBytes(dir / "app.res"), ResourceScriptBytes(pool));
}

TEST_F(KovancCompile, ASignalEndsTheCompilerWithKovancAndLeavesNoOutput) {
  const std::string file = PoolFile();
  for (const char* signalName : {"TERM", "HUP"}) {
    SCOPED_TRACE(signalName);
    std::filesystem::remove(test::FsPath(dir / "who"));
    // The signal goes to kovanc once the compiler has started; the shell
    // prints kovanc's wait status.
    const std::string script =
        "env PATH=" + Q(bin.str() + ":/usr/bin:/bin") + " FAKE_GORC_DELAY_MS=600000 FAKE_GORC_WHO=" + Q(dir / "who") +
        " " + KOVANC_PATH + " compile --res " + Q(dir / "app") + " " + Q(file) + " >/dev/null 2>&1 & pid=$!; " +
        "while [ ! -s " + Q(dir / "who") + " ]; do sleep 0.05; done; kill -" + signalName + " $pid; wait $pid; echo $?";
    const Result r = test::RunCommand("sh -c " + Q(script) + " 2>/dev/null");
    EXPECT_EQ(r.out, std::to_string(128 + (std::string(signalName) == "TERM" ? SIGTERM : SIGHUP)) + "\n");
    EXPECT_EQ(test::RunCommand("pgrep -f " + Q(bin / "[G]oRC")).out, "");
    EXPECT_FALSE(FileExists(dir / "app.res"));
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::FsPath(dir.str())), {}), 3)
      << "the list, the script and the compiler's note of its path";
}

TEST_F(KovancCompile, ErrorsNameTheFileConcerned) {
  const std::string good = PoolFile();
  pool.Append("?", "ico", "C:\\x\\q.ico");
  const std::string faulty = dir / "faulty.kvl";
  WritePoolFile(pool, faulty);
  // A script that cannot be written: its name is taken by a folder.
  std::filesystem::create_directories(test::FsPath(dir / "sub/liste.rc"));
  std::filesystem::copy_file(test::FsPath(good), test::FsPath(dir / "sub/Liste.kvl"));
  test::WriteBytes(dir / "in.res", "x");
  struct Case {
    std::string args;
    std::string env;
    std::string named;
    int exitCode;
  };
  const Case cases[] = {
      {"pool check " + Q(faulty), "", faulty, 1},
      {"script " + Q(faulty), "", faulty, 1},
      {"compile --res " + Q(dir / "out") + " " + Q(faulty), "", faulty, 1},
      {"compile --res " + Q(dir / "out") + " /proc/self/mem", "", "/proc/self/mem", 1},
      {"script " + Q(good) + " -o " + Q(dir / "Liste.kvl/x.rc"), "", dir / "Liste.kvl/x.rc", 1},
      {"compile --res " + Q(dir / "out") + " " + Q(dir / "sub/Liste.kvl"), "", dir / "sub/liste.rc", 1},
      {"compile --res " + Q(dir / "out") + " " + Q(good), "FAKE_GORC_EXIT=9", dir / "out.res", 3},
      {"res2obj " + Q(dir / "none.res") + " " + Q(dir / "lib"), "", dir / "none.res", 1},
      {"res2obj " + Q(dir / "in.res") + " " + Q(dir / "lib"), "FAKE_GORC_EXIT=1", dir / "lib.obj", 3},
  };
  for (const Case& c : cases) {
    const Result r = Errors(c.args, c.env);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
    EXPECT_NE(r.out.find(c.named), std::string::npos) << c.args << "\n" << r.out;
  }
}

TEST_F(KovancCompile, TheCompilersListNamesWhatWasFound) {
  const Result r = Kovanc("compilers --json");
  ASSERT_EQ(r.exitCode, 0);
  const std::string gorc =
      "\"name\": \"gorc\",\n    \"display\": \"GoRC\",\n    \"found\": true,\n    \"obj\": true,\n    \"compiler\": \"" + bin / "GoRC";
  EXPECT_NE(r.out.find(gorc), std::string::npos) << r.out;
  for (const char* name : {"rc", "llvm", "windres", "builtin"}) {
    EXPECT_NE(r.out.find(std::string("\"name\": \"") + name + "\""), std::string::npos) << name;
  }
  EXPECT_NE(Kovanc("compilers").out.find("gorc: " + bin / "GoRC" + "\n"), std::string::npos);
  // An unknown compiler or machine is refused before anything runs.
  const std::string file = PoolFile();
  EXPECT_NE(Kovanc("compile --compiler nasm --res " + Q(dir / "a") + " " + Q(file)).exitCode, 0);
  EXPECT_NE(Kovanc("compile --machine arm --res " + Q(dir / "a") + " " + Q(file)).exitCode, 0);
  EXPECT_FALSE(FileExists(dir / "log"));
}

}  // namespace
}  // namespace kovan
#endif
