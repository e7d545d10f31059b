// The built program run as a child process, where the exit status, the console text and the
// files left behind are what matters.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "test_files.h"

namespace quillmar::tildeconv {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

struct ChildRun {
  int status;
  std::string console;
};

// Runs the built tildeconv in `folder` with `args` (argv[0] included) and its standard output
// captured. fileSizeLimit > 0 caps the size of any file it writes.
ChildRun runProgram(const fs::path& folder, const std::vector<std::string>& args,
                    rlim_t fileSizeLimit) {
  std::vector<char*> argv;
  for (const std::string& arg : args) {
    argv.push_back(const_cast<char*>(arg.c_str()));
  }
  argv.push_back(nullptr);
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) {
    ADD_FAILURE() << "pipe failed";
    return {-1, ""};
  }
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    if (fileSizeLimit > 0) {
      const rlimit limit{fileSizeLimit, fileSizeLimit};
      setrlimit(RLIMIT_FSIZE, &limit);
      signal(SIGXFSZ, SIG_IGN);  // so that writing past the cap fails instead of killing
    }
    if (chdir(folder.c_str()) == 0) {
      execv(TILDECONV_PROGRAM, argv.data());
    }
    _exit(127);
  }
  close(pipeEnds[1]);
  std::string console;
  char buffer[4096];
  for (ssize_t count; (count = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
    console.append(buffer, static_cast<size_t>(count));
  }
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), console};
}

// A whole-file advisory lock held by this process (not the converter) while it lives.
class HeldLock {
 public:
  HeldLock(const fs::path& path, int operation) : fd_(open(path.c_str(), O_RDONLY)) {
    EXPECT_EQ(flock(fd_, operation), 0) << "cannot lock " << path;
  }
  ~HeldLock() { close(fd_); }
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;

 private:
  int fd_;
};

using Prepare = std::function<std::unique_ptr<HeldLock>(const ScratchFolder&)>;

// Writes page.htm with `page` and, if `output` is given, an existing page.syn.
Prepare pages(std::string page, std::optional<std::string> output = std::nullopt) {
  return [=](const ScratchFolder& folder) {
    testing::writeFile(folder / "page.htm", page);
    if (output) {
      testing::writeFile(folder / "page.syn", *output);
    }
    return std::unique_ptr<HeldLock>();
  };
}

// Runs `then` after writing page.htm with "a~b".
Prepare pagesThen(std::function<std::unique_ptr<HeldLock>(const ScratchFolder&)> then) {
  return [=](const ScratchFolder& folder) {
    testing::writeFile(folder / "page.htm", "a~b");
    return then(folder);
  };
}

const std::vector<std::string> kConvertPage = {"tildeconv", "page.htm"};
const std::string kLocked = "page.syn: Couldn't open source file: Resource temporarily unavailable";

TEST(TildeconvProgram, StatusConsoleAndFiles) {
  const struct {
    const char* what;
    Prepare prepare;
    std::vector<std::string> args;
    rlim_t fileSizeLimit;
    int status;
    std::string console;
    // Files afterwards: name and content, or no content when the file must not exist.
    std::vector<std::pair<std::string, std::optional<std::string>>> files;
  } cases[] = {
      {"converts and reports",
       pages("a<!--~-->b~c"),
       kConvertPage,
       0,
       0,
       "page.syn: Replaced 1 feedback tilde.    Duplicated 1 regular tilde.\n",
       {{"page.syn", "a~b~~c"}, {"page.htm", "a<!--~-->b~c"}}},
      {"replaces an existing longer output",
       pages("~", "an older and longer page"),
       kConvertPage,
       0,
       0,
       "page.syn: Replaced 0 feedback tilde's.  Duplicated 1 regular tilde.\n",
       {{"page.syn", "~~"}}},
      {"converts an empty page",
       pages(""),
       kConvertPage,
       0,
       0,
       "page.syn: Replaced 0 feedback tilde's.  Duplicated 0 regular tilde's.\n",
       {{"page.syn", ""}}},
      {"uses only the first argument",
       pages("plain"),
       {"tildeconv", "page.htm", "other.htm"},
       0,
       0,
       "page.syn: Replaced 0 feedback tilde's.  Duplicated 0 regular tilde's.\n",
       {{"page.syn", "plain"}, {"other.syn", std::nullopt}}},
      {"shows usage under the name it was started by",
       pages(""),
       {"bin/tc"},
       0,
       1,
       "usage: bin/tc <sourcefile>.htm\n   or: bin/tc <sourcefile>.html\n",
       {{"page.syn", std::nullopt}}},
      {"reports a missing source",
       pages(""),
       {"tildeconv", "absent.htm"},
       0,
       1,
       "Couldn't open source file: No such file or directory",
       {{"absent.syn", std::nullopt}}},
      {"refuses a folder as source",
       [](const ScratchFolder& folder) {
         fs::create_directory(folder / "page.htm");
         return std::unique_ptr<HeldLock>();
       },
       kConvertPage,
       0,
       1,
       "Couldn't open source file: Is a directory",
       {{"page.syn", std::nullopt}}},
      {"refuses a source that someone is writing",
       pagesThen([](const ScratchFolder& folder) {
         return std::make_unique<HeldLock>(folder / "page.htm", LOCK_EX);
       }),
       kConvertPage,
       0,
       1,
       "Couldn't open source file: Resource temporarily unavailable",
       {{"page.syn", std::nullopt}}},
      {"reports an output name taken by a folder",
       pagesThen([](const ScratchFolder& folder) {
         fs::create_directory(folder / "page.syn");
         return std::unique_ptr<HeldLock>();
       }),
       kConvertPage,
       0,
       1,
       "page.syn: Couldn't open source file: Is a directory",
       {}},
      {"reports a folder where no file can be created",
       pages(""),
       {"tildeconv", "/proc/self/status"},
       0,
       1,
       "/proc/self/statussyn: Couldn't open source file: No such file or directory",
       {}},
      {"leaves an output that another process holds alone",
       pagesThen([](const ScratchFolder& folder) {
         testing::writeFile(folder / "page.syn", "in use");
         return std::make_unique<HeldLock>(folder / "page.syn", LOCK_SH);
       }),
       kConvertPage,
       0,
       1,
       kLocked,
       {{"page.syn", "in use"}}},
      {"never empties its own source through a link",
       pagesThen([](const ScratchFolder& folder) {
         fs::create_symlink("page.htm", folder / "page.syn");
         return std::unique_ptr<HeldLock>();
       }),
       kConvertPage,
       0,
       1,
       kLocked,
       {{"page.htm", "a~b"}}},
      {"removes the output when writing fails",
       pages(std::string(100000, 'a')),
       kConvertPage,
       4096,
       1,
       "page.syn: Couldn't write output file page.syn: File too large\n",
       {{"page.syn", std::nullopt}}},
      {"removes the output when reading fails",
       [](const ScratchFolder& folder) {
         // Reading a process's memory at address 0 fails with an I/O error.
         fs::create_symlink("/proc/self/mem", folder / "page.htm");
         return std::unique_ptr<HeldLock>();
       },
       kConvertPage,
       0,
       1,
       "page.syn: Couldn't read source file page.htm: Input/output error\n",
       {{"page.syn", std::nullopt}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    const std::unique_ptr<HeldLock> lock = c.prepare(folder);
    const ChildRun run = runProgram(folder.path(), c.args, c.fileSizeLimit);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.console, c.console);
    for (const auto& [name, content] : c.files) {
      if (content) {
        EXPECT_EQ(testing::readFile(folder / name), *content) << name;
      } else {
        EXPECT_FALSE(fs::exists(folder / name)) << name << " was left behind";
      }
    }
  }
}

}  // namespace
}  // namespace quillmar::tildeconv
