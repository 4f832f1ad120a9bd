#include "tests/e2e/wayland_harness.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/e2e/harness.hpp"

namespace e2e::wayland {
namespace {

using Clock = std::chrono::steady_clock;

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::string quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// True once the process has ended (and is reaped); its status goes into status.
bool reaped(pid_t pid, int* status = nullptr) {
  if (pid <= 0) return true;
  int st = 0;
  pid_t r = waitpid(pid, &st, WNOHANG);
  if (r == 0) return false;
  if (r == pid && status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return true;
}

// The processes whose parent is this test: those it started, and (being a subreaper) every
// orphaned descendant of those, such as the programs the compositor started.
std::vector<pid_t> own_children() {
  std::vector<pid_t> out;
  const std::string me = std::to_string(getpid());
  DIR* proc = opendir("/proc");
  if (!proc) return out;
  while (dirent* e = readdir(proc)) {
    const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
    if (pid <= 0) continue;
    std::ifstream status(std::string("/proc/") + e->d_name + "/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind("PPid:", 0) == 0) {
        std::istringstream v(line.substr(5));
        std::string ppid;
        v >> ppid;
        if (ppid == me) out.push_back(pid);
        break;
      }
  }
  closedir(proc);
  return out;
}

// --- Virtual input devices -------------------------------------------------------------------
// A headless compositor has no input devices, so its seat offers clients no pointer and no
// keyboard, and a program started there never gets either. A small client (run as the desktop's
// user for as long as the compositor lives) adds a virtual pointer and a virtual keyboard with the
// usual US layout. The two wlroots protocols are not in wayland-protocols, so their requests are
// described here by hand, in their protocols' order (the order gives the request numbers).

const wl_interface* kNoTypes[8] = {};

extern const wl_interface virtual_pointer_interface;
const wl_interface* kCreatePointerTypes[] = {&wl_seat_interface, &virtual_pointer_interface};
const wl_message kPointerManagerRequests[] = {
    {"create_virtual_pointer", "?on", kCreatePointerTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface pointer_manager_interface = {"zwlr_virtual_pointer_manager_v1", 1, 2, kPointerManagerRequests,
                                                0, nullptr};
const wl_message kPointerRequests[] = {
    {"motion", "uff", kNoTypes},          {"motion_absolute", "uuuuu", kNoTypes},
    {"button", "uuu", kNoTypes},          {"axis", "uuf", kNoTypes},
    {"frame", "", kNoTypes},              {"axis_source", "u", kNoTypes},
    {"axis_stop", "uu", kNoTypes},        {"axis_discrete", "uufi", kNoTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface virtual_pointer_interface = {"zwlr_virtual_pointer_v1", 1, 9, kPointerRequests, 0, nullptr};

extern const wl_interface virtual_keyboard_interface;
const wl_interface* kCreateKeyboardTypes[] = {&wl_seat_interface, &virtual_keyboard_interface};
const wl_message kKeyboardManagerRequests[] = {
    {"create_virtual_keyboard", "on", kCreateKeyboardTypes},
};
const wl_interface keyboard_manager_interface = {"zwp_virtual_keyboard_manager_v1", 1, 1, kKeyboardManagerRequests,
                                                 0, nullptr};
const wl_message kKeyboardRequests[] = {
    {"keymap", "uhu", kNoTypes},
    {"key", "uuu", kNoTypes},
    {"modifiers", "uuuu", kNoTypes},
    {"destroy", "", kNoTypes},
};
const wl_interface virtual_keyboard_interface = {"zwp_virtual_keyboard_v1", 1, 4, kKeyboardRequests, 0, nullptr};

struct Globals {
  wl_seat* seat = nullptr;
  wl_proxy* pointers = nullptr;
  wl_proxy* keyboards = nullptr;
};

void on_global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* g = static_cast<Globals*>(data);
  if (!std::strcmp(interface, "wl_seat") && !g->seat)
    g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  else if (!std::strcmp(interface, pointer_manager_interface.name))
    g->pointers = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &pointer_manager_interface, 1));
  else if (!std::strcmp(interface, keyboard_manager_interface.name))
    g->keyboards = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &keyboard_manager_interface, 1));
}
void on_global_remove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {on_global, on_global_remove};

uint32_t now_ms() {
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
}

// The keycode of the key whose first symbol is the named one, or 0.
xkb_keycode_t keycode_of(xkb_keymap* keymap, const std::string& name) {
  const xkb_keysym_t want = xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
  if (want == XKB_KEY_NoSymbol) return 0;
  for (xkb_keycode_t k = xkb_keymap_min_keycode(keymap); k <= xkb_keymap_max_keycode(keymap); ++k) {
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, k, 0, 0, &syms) > 0 && syms[0] == want) return k;
  }
  return 0;
}

// Runs in the forked child as the desktop's user: adds the devices, writes '1' to done, then
// reads lines from commands ("P name" presses a key, "R name" lets it go) and answers each with
// '1' once the compositor has handled it ('0' for a key it does not know). The devices live as long
// as the connection: until commands closes.
[[noreturn]] void input_devices_main(int commands, int done) {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) _exit(2);
  Globals g;
  wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, &g);
  wl_display_roundtrip(display);
  if (!g.seat || !g.pointers || !g.keyboards) _exit(3);
  wl_proxy* pointer = wl_proxy_marshal_constructor(g.pointers, 0, &virtual_pointer_interface, g.seat, nullptr);
  wl_proxy* keyboard = wl_proxy_marshal_constructor(g.keyboards, 0, &virtual_keyboard_interface, g.seat, nullptr);
  // A virtual keyboard joins the seat once it has a keymap: the usual one, so that every program
  // (XWayland's too) reads the keys as from a real keyboard.
  xkb_context* ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_rule_names names{"evdev", "pc105", "us", "", ""};
  xkb_keymap* keymap = ctx ? xkb_keymap_new_from_names(ctx, &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
  char* text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
  xkb_state* state = keymap ? xkb_state_new(keymap) : nullptr;
  if (!text || !state) _exit(4);
  const size_t size = std::strlen(text) + 1;
  int fd = memfd_create("keymap", MFD_CLOEXEC);
  if (fd < 0 || write(fd, text, size) != static_cast<ssize_t>(size)) _exit(5);
  wl_proxy_marshal(keyboard, 0, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, static_cast<uint32_t>(size));
  close(fd);
  if (wl_display_roundtrip(display) < 0 || write(done, "1", 1) != 1) _exit(6);

  FILE* in = fdopen(commands, "r");
  char line[256];
  while (in && std::fgets(line, sizeof line, in)) {
    std::string cmd(line);
    while (!cmd.empty() && (cmd.back() == '\n' || cmd.back() == '\r')) cmd.pop_back();
    // The pointer: "M dx dy" moves it as a mouse does, "B 1" and "B 0" press and let go its left button.
    if (cmd.size() > 2 && (cmd[0] == 'M' || cmd[0] == 'B')) {
      double dx = 0, dy = 0;
      std::istringstream args(cmd.substr(2));
      args >> dx >> dy;
      if (cmd[0] == 'M')
        wl_proxy_marshal(pointer, 0, now_ms(), wl_fixed_from_double(dx), wl_fixed_from_double(dy));
      else
        wl_proxy_marshal(pointer, 2, now_ms(), 0x110u /* BTN_LEFT */, dx != 0 ? 1u : 0u);
      wl_proxy_marshal(pointer, 4);  // frame
      if (write(done, wl_display_roundtrip(display) >= 0 ? "1" : "0", 1) != 1) break;
      continue;
    }
    const xkb_keycode_t key = cmd.size() > 2 ? keycode_of(keymap, cmd.substr(2)) : 0;
    bool ok = key != 0 && (cmd[0] == 'P' || cmd[0] == 'R');
    if (ok) {
      const bool down = cmd[0] == 'P';
      // A virtual keyboard tells its modifiers itself, after the key, as a real one's are sent.
      wl_proxy_marshal(keyboard, 1, now_ms(), key - 8,
                       down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
      xkb_state_update_key(state, key, down ? XKB_KEY_DOWN : XKB_KEY_UP);
      wl_proxy_marshal(keyboard, 2, xkb_state_serialize_mods(state, XKB_STATE_MODS_DEPRESSED),
                       xkb_state_serialize_mods(state, XKB_STATE_MODS_LATCHED),
                       xkb_state_serialize_mods(state, XKB_STATE_MODS_LOCKED),
                       xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE));
      ok = wl_display_roundtrip(display) >= 0;
    }
    if (write(done, ok ? "1" : "0", 1) != 1) break;
  }
  _exit(0);
}

// sway 1.7 confines the pointer for a program only when a seat is configured to allow it; its usual
// configuration names no seat.
constexpr char kConstraintsAllowed[] = "seat * pointer_constraint enable\n";

// The keys of a combo ("ctrl+Escape"): its modifiers' keys, then the key.
std::vector<std::string> combo_keys(const std::string& combo) {
  static const std::map<std::string, std::string> modifiers = {
      {"ctrl", "Control_L"}, {"alt", "Alt_L"}, {"logo", "Super_L"}, {"shift", "Shift_L"}};
  std::vector<std::string> keys;
  std::stringstream ss(combo);
  for (std::string part; std::getline(ss, part, '+');) keys.push_back(part);
  for (size_t i = 0; i + 1 < keys.size(); ++i)
    if (auto m = modifiers.find(keys[i]); m != modifiers.end()) keys[i] = m->second;
  return keys;
}

}  // namespace

std::string missing_tool() {
  for (const char* tool : {"sway", "swaymsg", "grim", "Xwayland", "cage", "mutter", "dbus-run-session"})
    if (sh(std::string("command -v ") + tool + " >/dev/null 2>&1") != 0) return tool;
  return "";
}

Box lit_box(const media::Pixmap& p) {
  Box b{p.width, p.height, -1, -1};
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = media::read_pixel(p, x, y);
      if (((c >> 16) & 255) <= 24 && ((c >> 8) & 255) <= 24 && (c & 255) <= 24) continue;
      b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x);
      b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
    }
  return b;
}

Desktop::Desktop() {
  // Orphans (what the compositor starts double-forks away from it) become this process's children,
  // so that they can be ended and reaped.
  prctl(PR_SET_CHILD_SUBREAPER, 1);
  const bool root = geteuid() == 0;
  uid_ = root ? 65534 : geteuid();
  gid_ = root ? 65534 : getegid();
  char tmpl[] = "/tmp/pipkin-wayland-XXXXXX";
  dir_ = mkdtemp(tmpl);
  runtime_ = dir_ + "/run";
  sh("cd " + quoted(dir_) + " && mkdir -p app home run && cp " + quoted(build_dir() + "/pipkin") + " " +
     quoted(build_dir() + "/tests/pointer_witness") + " app/ && cp -r " +
     quoted(build_dir() + "/data") + " app/data");
  sh("rm -f " + quoted(data("pipkin.txt")) + " " + quoted(data("config.txt")));
  chmod(dir_.c_str(), 0755);
  chmod(runtime_.c_str(), 0700);
  if (root) sh("chown -R 65534:65534 " + quoted(dir_));
}

Desktop::~Desktop() {
  end_all();
  if (!dir_.empty() && std::getenv("PIPKIN_E2E_KEEP") == nullptr) sh("rm -rf " + quoted(dir_));
}

void Desktop::end_all() {
  // The compositor first, politely: its clients lose their connection and end by themselves.
  for (pid_t* p : {&cage_, &compositor_}) {
    if (*p <= 0) continue;
    int status = -1;
    if (!reaped(*p, &status)) {
      kill(*p, SIGTERM);
      if (!wait_until([&] { return reaped(*p, &status); }, 10000)) {
        kill(*p, SIGKILL);
        waitpid(*p, &status, 0);
      }
    }
    if (p == &cage_) cage_status_ = status;
    *p = -1;
  }
  for (int* fd : {&input_commands_, &input_done_})
    if (*fd >= 0) close(*fd), *fd = -1;
  input_ = -1;
  // Then everything else this test started, down to the last orphan.
  const auto end = Clock::now() + std::chrono::seconds(20);
  for (std::vector<pid_t> left = own_children(); !left.empty() && Clock::now() < end; left = own_children()) {
    for (pid_t pid : left) kill(pid, SIGKILL);
    for (pid_t pid : left) waitpid(pid, nullptr, 0);
  }
}

pid_t Desktop::spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
                     const std::string& out) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int fd = out.empty() ? open("/dev/null", O_WRONLY) : open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  if (fd >= 0) {
    dup2(fd, 1);
    dup2(fd, 2);
  }
  if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(gid_) != 0 || setuid(uid_) != 0)) _exit(126);
  if (chdir(dir_.c_str()) != 0) _exit(126);
  clearenv();
  for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

std::map<std::string, std::string> Desktop::client_env() const {
  std::map<std::string, std::string> env = {{"PATH", dir_ + "/app:/usr/local/bin:/usr/bin:/bin"},
                                            {"HOME", dir_ + "/home"},
                                            {"XDG_RUNTIME_DIR", runtime_}};
  if (!wayland_.empty()) env["WAYLAND_DISPLAY"] = wayland_;
  if (!swaysock_.empty()) env["SWAYSOCK"] = swaysock_;
  return env;
}

int Desktop::run(const std::vector<std::string>& argv, const std::string& out) {
  const pid_t pid = spawn(argv, client_env(), out);
  if (pid < 0) return -1;
  int status = -1;
  if (!wait_until([&] { return reaped(pid, &status); }, kDeadlineMs)) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
  }
  return status;
}

bool Desktop::wait_for_socket(pid_t server, int ms) {
  return wait_until(
      [&] {
        if (reaped(server)) return true;
        DIR* d = opendir(runtime_.c_str());
        if (!d) return false;
        while (dirent* e = readdir(d)) {
          const std::string name = e->d_name;
          if (name.rfind("wayland-", 0) == 0 && name.find(".lock") == std::string::npos) wayland_ = name;
        }
        closedir(d);
        return !wayland_.empty();
      },
      ms) &&
         !wayland_.empty();
}

bool Desktop::start_input_devices() {
  // Close-on-exec: the programs started later must not keep the input client's pipes open.
  int commands[2], done[2];
  if (pipe2(commands, O_CLOEXEC) != 0) return false;
  if (pipe2(done, O_CLOEXEC) != 0) {
    close(commands[0]);
    close(commands[1]);
    return false;
  }
  input_ = fork();
  if (input_ == 0) {
    close(commands[1]);
    close(done[0]);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(gid_) != 0 || setuid(uid_) != 0)) _exit(126);
    setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    setenv("WAYLAND_DISPLAY", wayland_.c_str(), 1);
    input_devices_main(commands[0], done[1]);
  }
  close(commands[0]);
  close(done[1]);
  input_commands_ = commands[1];
  input_done_ = done[0];
  // A key sent to a client that has gone must not end the test.
  signal(SIGPIPE, SIG_IGN);
  return send_input("");
}

// Sends one line to the input devices' client ("" sends nothing) and waits for its answer.
bool Desktop::send_input(const std::string& command) {
  if (input_commands_ < 0) return false;
  if (!command.empty()) {
    const std::string line = command + "\n";
    if (write(input_commands_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return false;
  }
  pollfd p{input_done_, POLLIN, 0};
  char c = 0;
  return poll(&p, 1, kDeadlineMs) == 1 && read(input_done_, &c, 1) == 1 && c == '1';
}

bool Desktop::start_sway(double scale, bool pointer_constraints) {
  char scale_text[32];
  std::snprintf(scale_text, sizeof scale_text, "%g", scale);
  return start_sway_with("output HEADLESS-1 resolution 1920x1080 scale " + std::string(scale_text) + "\n" +
                             (pointer_constraints ? kConstraintsAllowed : ""),
                         1);
}

bool Desktop::start_sway_two_outputs() {
  return start_sway_with(std::string("output HEADLESS-1 resolution 1024x768 position 0 0 scale 1\n"
                                     "output HEADLESS-2 resolution 1024x768 position 1024 0 scale 1\n") +
                             kConstraintsAllowed,
                         2);
}

bool Desktop::start_sway_with(const std::string& outputs, int output_count) {
  const std::string config = dir_ + "/sway.config";
  write_file(config, outputs +
                         "xwayland enable\n"
                         "default_border none\n"
                         "default_floating_border none\n"
                         "gaps inner 0\n"
                         "gaps outer 0\n"
                         "bindsym Mod4+x exec touch " + quoted(marker("super-x")) + "\n" +
                         "bindsym Mod1+Tab exec touch " + quoted(marker("alt-tab")) + "\n" +
                         "bindsym --inhibited Mod4+z exec touch " + quoted(marker("check")) + "\n");
  std::map<std::string, std::string> env = client_env();
  env.insert({{"WLR_BACKENDS", "headless"},
              {"WLR_RENDERER", "pixman"},
              {"WLR_LIBINPUT_NO_DEVICES", "1"},
              {"LIBGL_ALWAYS_SOFTWARE", "1"},
              {"SDL_AUDIODRIVER", "dummy"}});
  env["WLR_HEADLESS_OUTPUTS"] = std::to_string(output_count);
  outputs_ = output_count;
  compositor_ = spawn({"sway", "--config", config}, env, dir_ + "/compositor.log");
  if (compositor_ <= 0 || !wait_for_socket(compositor_, kDeadlineMs)) return false;
  swaysock_ = runtime_ + "/sway-ipc." + std::to_string(uid_) + "." + std::to_string(compositor_) + ".sock";
  if (!wait_until([&] { return reaped(compositor_) || run({"swaymsg", "-t", "get_version"}) == 0; }, kDeadlineMs))
    return false;
  return !reaped(compositor_) && start_input_devices();
}

bool Desktop::start_cage(const std::string& command) {
  std::map<std::string, std::string> env = client_env();
  env.insert({{"WLR_BACKENDS", "headless"},
              {"WLR_RENDERER", "pixman"},
              {"WLR_LIBINPUT_NO_DEVICES", "1"},
              {"LIBGL_ALWAYS_SOFTWARE", "1"},
              {"SDL_AUDIODRIVER", "dummy"}});
  // The command ends with the program's own arguments: the hook that notes its start goes after them.
  const std::string noting = " --test-startup-times=" + quoted(dir_ + "/app/startup-times.txt");
  // Standard error of the session's program goes where pipkin_stderr() reads it.
  cage_ = spawn({"sh", "-c", "exec " + command + noting + " 2>" + quoted(dir_ + "/app/stderr.txt")}, env,
                dir_ + "/compositor.log");
  return cage_ > 0 && wait_for_socket(cage_, kDeadlineMs) && cage_running();
}

bool Desktop::start_mutter() {
  // GNOME's compositor on a virtual monitor, without XWayland, in a session bus of its own.
  std::map<std::string, std::string> env = client_env();
  compositor_ = spawn({"dbus-run-session", "--", "mutter", "--headless", "--wayland", "--no-x11",
                       "--virtual-monitor", "1920x1080"},
                      env, dir_ + "/compositor.log");
  return compositor_ > 0 && wait_for_socket(compositor_, kDeadlineMs) && !reaped(compositor_);
}

bool Desktop::start_pipkin_in_mutter(const std::vector<std::string>& args) {
  write_start_script("", args);
  if (spawn({"sh", dir_ + "/app/start.sh"}, client_env()) <= 0) return false;
  return wait_until([&] { return exists(dir_ + "/app/pid.txt"); }, kDeadlineMs);
}

void Desktop::end_pipkin() {
  const std::string pid = read_file(dir_ + "/app/pid.txt");
  if (!pid.empty()) kill(std::atoi(pid.c_str()), SIGTERM);
}

void Desktop::end_cage_program() {
  if (cage_ <= 0) return;
  std::istringstream children(read_file("/proc/" + std::to_string(cage_) + "/task/" + std::to_string(cage_) +
                                        "/children"));
  for (pid_t pid; children >> pid;) kill(pid, SIGTERM);
}

bool Desktop::cage_running() { return cage_ > 0 && !reaped(cage_, &cage_status_); }

bool Desktop::wait_cage_exit(int ms) {
  if (cage_ <= 0) return true;
  const bool ended = wait_until([&] { return reaped(cage_, &cage_status_); }, ms);
  if (ended) cage_ = -1;
  return ended;
}

void Desktop::set_level(int level) {
  write_file(data("pipkin.txt"), std::to_string(level) + "\r\n");
  if (geteuid() == 0) chown(data("pipkin.txt").c_str(), uid_, gid_);
}

void Desktop::set_config(const std::string& text) {
  write_file(data("config.txt"), text);
  if (geteuid() == 0) chown(data("config.txt").c_str(), uid_, gid_);
}

std::string Desktop::read_data(const std::string& rel) const { return read_file(data(rel)); }

void Desktop::write_start_script(const std::string& driver, const std::vector<std::string>& args) {
  const std::string app = dir_ + "/app";
  std::string command = quoted(app + "/pipkin") + " --test-startup-times=" + quoted(app + "/startup-times.txt");
  for (const std::string& a : args) command += " " + quoted(a);
  // The script notes the program's id and, when it ends, its status.
  write_file(app + "/start.sh",
             "cd /\n" +
                 (driver.empty() ? std::string("unset SDL_VIDEODRIVER\n")
                                 : "export SDL_VIDEODRIVER=" + driver + "\n") +
                 "export SDL_AUDIODRIVER=dummy\n" +
                 command + " 2>" + quoted(app + "/stderr.txt") + " &\n" +
                 "echo $! >" + quoted(app + "/pid.txt") + "\n" +
                 "wait $!\n"
                 "echo $? >" + quoted(app + "/status.txt.new") + "\n" +
                 "mv " + quoted(app + "/status.txt.new") + " " + quoted(app + "/status.txt") + "\n");
  if (geteuid() == 0) chown((app + "/start.sh").c_str(), uid_, gid_);
}

bool Desktop::start_pipkin(const std::string& driver, const std::vector<std::string>& args) {
  const std::string app = dir_ + "/app";
  // Started by sway, as a launcher or a terminal would be: so it has sway's WAYLAND_DISPLAY and the
  // DISPLAY of sway's XWayland.
  write_start_script(driver, args);
  if (!swaymsg({"exec", "sh " + quoted(app + "/start.sh")})) return false;
  if (!wait_until([&] { return exists(app + "/pid.txt"); }, kDeadlineMs)) return false;
  // The first frame, the title, is drawn once the shared images are loaded: wait until the sky is
  // in the (first) output's centre, then until the pictures are in (so that every digit works at once).
  if (!wait_for(
          [this](const media::Pixmap& p) {
            const uint32_t c = media::read_pixel(p, p.width / outputs_ / 2, p.height / 2);
            return (c & 255) > 180 && (c & 255) > ((c >> 16) & 255) + 30;
          },
          kDeadlineMs))
    return false;
  return wait_until([&] { return pictures_loaded() || !pipkin_running(); }, 120000) && pipkin_running();
}

bool Desktop::pictures_loaded() const { return startup_notes().find("pictures ") != std::string::npos; }

std::string Desktop::startup_notes() const { return read_file(dir_ + "/app/startup-times.txt"); }

bool Desktop::pipkin_running() const {
  return exists(dir_ + "/app/pid.txt") && !exists(dir_ + "/app/status.txt");
}

bool Desktop::wait_pipkin_exit(int ms) {
  return wait_until([&] { return exists(dir_ + "/app/status.txt"); }, ms);
}

int Desktop::pipkin_status() const {
  const std::string s = read_file(dir_ + "/app/status.txt");
  return s.empty() ? -1 : std::atoi(s.c_str());
}

std::string Desktop::pipkin_stderr() const { return read_file(dir_ + "/app/stderr.txt"); }
std::string Desktop::compositor_log() const { return read_file(dir_ + "/compositor.log"); }

bool Desktop::press(const std::string& keysym) { return send_input("P " + keysym); }
bool Desktop::release(const std::string& keysym) { return send_input("R " + keysym); }

bool Desktop::key(const std::string& combo) {
  const std::vector<std::string> keys = combo_keys(combo);
  bool ok = true;
  for (const std::string& k : keys) ok = press(k) && ok;
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) ok = release(*k) && ok;
  return ok;
}

bool Desktop::hold_until(const std::string& combo, const std::function<bool()>& cond, int timeout_ms) {
  const std::vector<std::string> keys = combo_keys(combo);
  for (const std::string& k : keys) press(k);
  const bool held = wait_until(cond, timeout_ms);
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) release(*k);
  return held;
}

bool Desktop::swaymsg(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"swaymsg", "-q"};
  argv.insert(argv.end(), args.begin(), args.end());
  return run(argv) == 0;
}

bool Desktop::pipkin_fullscreen() {
  const std::string file = dir_ + "/tree.json";
  std::remove(file.c_str());  // the output is added to the file
  if (run({"swaymsg", "-t", "get_tree"}, file) != 0) return false;
  // The window's own node: its name, then (sway lists it among the fields after) its mode.
  const std::string tree = read_file(file);
  const size_t name = tree.find("\"name\": \"Pipkin\"");
  if (name == std::string::npos) return false;
  const size_t mode = tree.find("\"fullscreen_mode\": ", name);
  return mode != std::string::npos && tree.compare(mode + 19, 1, "1") == 0;
}

bool Desktop::pointer_to(double x, double y) {
  char at[64];
  std::snprintf(at, sizeof at, "%.2f %.2f", x, y);
  return swaymsg({"seat - cursor set " + std::string(at)});
}

bool Desktop::pointer_by(double dx, double dy) {
  char move[64];
  std::snprintf(move, sizeof move, "M %.2f %.2f", dx, dy);
  return send_input(move);
}

bool Desktop::pointer_button(bool down) { return send_input(down ? "B 1" : "B 0"); }

bool Desktop::start_witness() {
  const std::string heard = dir_ + "/witness.txt";
  if (!swaymsg({"focus output HEADLESS-2"}) ||
      !swaymsg({"exec", "SDL_VIDEODRIVER=wayland " + quoted(dir_ + "/app/pointer_witness") + " " + quoted(heard)}))
    return false;
  if (!wait_until([&] { return read_file(heard).find("shown") != std::string::npos; }, kDeadlineMs)) return false;
  return swaymsg({"focus output HEADLESS-1"});
}

std::string Desktop::witness_heard() const { return read_file(dir_ + "/witness.txt"); }

bool Desktop::click_at(double x, double y) {
  return pointer_to(x, y) && swaymsg({"seat - cursor press button1"}) && swaymsg({"seat - cursor release button1"});
}

bool Desktop::has_view(const std::string& shell) {
  return swaymsg({"[title=\"^Pipkin$\" shell=\"" + shell + "\"] nop"});
}

media::PixmapPtr Desktop::screenshot(const std::string& save_as) {
  const std::string file = dir_ + "/shot.png";
  std::remove(file.c_str());
  // No compression, so that a wait can look often; a shot kept to look at is compressed.
  if (run({"grim", "-l", save_as.empty() ? "0" : "6", file}) != 0) return nullptr;
  media::PixmapPtr p = media::load_pixmap(file);
  if (p && !save_as.empty()) sh("cp " + quoted(file) + " " + quoted(save_as));
  return p;
}

void Desktop::keep_last_screenshot(const std::string& save_as) const {
  if (!save_as.empty()) sh("cp " + quoted(dir_ + "/shot.png") + " " + quoted(save_as));
}

bool Desktop::wait_for(const std::function<bool(const media::Pixmap&)>& pred, int timeout_ms) {
  return e2e::wait_for_screenshot([this] { return screenshot(); }, pred, timeout_ms);
}

}  // namespace e2e::wayland
