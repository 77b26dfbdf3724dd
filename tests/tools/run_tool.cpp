#include "tools/run_tool.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>

extern char** environ;

namespace xoltlog::test {
namespace {

struct Pipe {
  int fd[2] = {-1, -1};
  Pipe() {
    if (pipe2(fd, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  }
  ~Pipe() { close_both(); }
  void close_end(int end) {
    if (fd[end] >= 0) close(fd[end]);
    fd[end] = -1;
  }
  void close_both() {
    close_end(0);
    close_end(1);
  }
};

std::vector<std::string> environment(const ToolEnv& changes) {
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    const std::size_t equals = text.find('=');
    if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : changes) {
    if (value) {
      variables[name] = *value;
    } else {
      variables.erase(name);
    }
  }
  std::vector<std::string> lines;
  for (const auto& [name, value] : variables) lines.push_back(name + "=" + value);
  return lines;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

// Feeds input and drains both outputs until the child closes them.
void exchange(Pipe& in, Pipe& out, Pipe& err, const std::string& input, ToolRun& run) {
  std::size_t written = 0;
  if (input.empty()) in.close_end(1);
  char buffer[4096];
  while (out.fd[0] >= 0 || err.fd[0] >= 0) {
    pollfd fds[3] = {{out.fd[0], POLLIN, 0}, {err.fd[0], POLLIN, 0}, {in.fd[1], POLLOUT, 0}};
    if (poll(fds, 3, -1) < 0 && errno != EINTR) throw std::runtime_error("poll failed");
    Pipe* readers[2] = {&out, &err};
    std::string* sinks[2] = {&run.out, &run.err};
    for (int i = 0; i < 2; ++i) {
      if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      const ssize_t got = read(readers[i]->fd[0], buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        readers[i]->close_end(0);
      }
    }
    if ((fds[2].revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
      const ssize_t put = write(in.fd[1], input.data() + written, input.size() - written);
      if (put > 0) written += static_cast<std::size_t>(put);
      if (put < 0 || written == input.size()) in.close_end(1);
    }
  }
}

}  // namespace

const char* tool_path() { return XOLTLOG_TOOL_PATH; }

ToolRun run_tool(const std::vector<std::string>& args, const ToolEnv& env,
                 const std::string& input, std::optional<uid_t> user) {
  std::vector<std::string> argv_texts{tool_path()};
  argv_texts.insert(argv_texts.end(), args.begin(), args.end());
  std::vector<std::string> env_texts = environment(env);
  std::vector<char*> argv = pointers(argv_texts);
  std::vector<char*> envp = pointers(env_texts);
  Pipe in, out, err;
  // A tool that dies early must not kill the test with SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    dup2(in.fd[0], 0);
    dup2(out.fd[1], 1);
    dup2(err.fd[1], 2);
    if (user && (setgroups(0, nullptr) != 0 || setresgid(*user, *user, *user) != 0 ||
                 setresuid(*user, *user, *user) != 0)) {
      _exit(125);
    }
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  in.close_end(0);
  out.close_end(1);
  err.close_end(1);
  ToolRun run;
  exchange(in, out, err, input, run);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace xoltlog::test
