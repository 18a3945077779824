#include "demo/demo_options.h"

#include <cstdlib>
#include <iterator>

namespace ruskel::demo {
namespace {

constexpr char kDefaultTitle[] = "Ruskel Demo Emulator";
constexpr char kDefaultClass[] = "RuskelDemoEmulator";
constexpr char kLaunchSwitch[] = "--launch";

struct ModeName {
  InputMode mode;
  const char* name;
};

constexpr ModeName kModeNames[] = {
    {InputMode::kMessages, "messages"},
    {InputMode::kAsync, "async"},
    {InputMode::kKeyboardState, "keyboardstate"},
    {InputMode::kDInput, "dinput"},
    {InputMode::kDInputBuffered, "dinputbuffered"},
    {InputMode::kRawInput, "rawinput"},
};

bool ParseMs(const std::string& text, int& out) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 0 || value > 0x7FFFFFFF) return false;
  out = static_cast<int>(value);
  return true;
}

bool ParseKey(const std::string& text, int& out) {
  int key = 0;
  if (!ParseMs(text, key) || key < 1 || key > 254) return false;
  out = key;
  return true;
}

bool ParseMode(const std::string& text, InputMode& out) {
  for (const ModeName& entry : kModeNames) {
    if (text == entry.name) {
      out = entry.mode;
      return true;
    }
  }
  return false;
}

// Everything after `--launch=` or `--launch `, as written. ruskel's exe line ends at a second
// `=`, so the blank form is the one to use there.
std::string LaunchArgs(const std::string& commandLine) {
  size_t at = commandLine.find(kLaunchSwitch);
  if (at == std::string::npos) return "";
  size_t start = at + sizeof(kLaunchSwitch) - 1;
  if (start < commandLine.size() && commandLine[start] == '=') {
    ++start;
  } else {
    while (start < commandLine.size() && commandLine[start] == ' ') ++start;
  }
  return commandLine.substr(start);
}

}  // namespace

const char* InputModeName(InputMode mode) {
  for (const ModeName& entry : kModeNames) {
    if (entry.mode == mode) return entry.name;
  }
  return "?";
}

Options ParseOptions(int argc, char** argv, const std::string& commandLine,
                     const std::string& exeDir) {
  Options options;
  options.title = kDefaultTitle;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    // Switches with a value take it after a blank (`--title T`) or after `=` (`--title=T`).
    std::string name = arg;
    std::string value;
    bool hasValue = false;
    size_t equals = arg.find('=');
    if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
      hasValue = true;
    }
    auto takeValue = [&]() {
      if (hasValue) return true;
      if (i + 1 >= argc) return false;
      value = argv[++i];
      return true;
    };
    if (name == kLaunchSwitch) {
      options.launch = true;
      options.launchArgs = LaunchArgs(commandLine);
      break;
    }
    if (name == "--title" && takeValue()) {
      options.title = value;
    } else if (name == "--second-title" && takeValue()) {
      options.secondTitle = value;
    } else if (name == "--title-suffix" && takeValue()) {
      options.titleSuffix = value;
    } else if (name == "--window-class" && takeValue() && !value.empty()) {
      options.windowClass = value;
    } else if (name == "--games" && takeValue()) {
      options.gamesPath = value;
    } else if (name == "--log" && takeValue()) {
      options.logPath = value;
    } else if (name == "--input" && takeValue() && ParseMode(value, options.input)) {
    } else if (name == "--show-after" && takeValue() && ParseMs(value, options.showAfterMs)) {
    } else if (name == "--window-after" && takeValue() &&
               ParseMs(value, options.windowAfterMs)) {
    } else if (name == "--splash" && takeValue() && ParseMs(value, options.splashMs)) {
    } else if (arg == "--game-title") {
      options.gameTitle = true;
    } else if (name == "--lifetime" && takeValue() && ParseMs(value, options.lifetimeMs)) {
    } else if (name == "--quit-after" && takeValue() && ParseMs(value, options.quitAfterMs)) {
    } else if (name == "--freeze-after" && takeValue() &&
               ParseMs(value, options.freezeAfterKeys)) {
    } else if (name == "--page-lines" && takeValue() && ParseMs(value, options.pageLines)) {
    } else if (name == "--page-key" && takeValue() && ParseKey(value, options.pageDownKey)) {
    } else if (name == "--page-up-key" && takeValue() && ParseKey(value, options.pageUpKey)) {
    } else if (arg == "--no-title") {
      options.noTitle = true;
    } else if (arg == "--wrap") {
      options.wrap = true;
    } else if (arg == "--no-window") {
      options.noWindow = true;
    } else if (arg == "--hidden") {
      options.hidden = true;
    } else if (arg == "--minimized") {
      options.minimized = true;
    } else if (arg == "--two-windows") {
      options.twoWindows = true;
    } else if (arg == "--ignore-quit") {
      options.ignoreQuit = true;
    } else if (arg == "--ignore-close") {
      options.ignoreClose = true;
    } else {
      options.unknown.push_back(hasValue ? arg : value.empty() ? arg : arg + " " + value);
    }
  }
  if (options.secondTitle.empty()) options.secondTitle = options.title + " Tools";
  if (options.windowClass.empty()) options.windowClass = kDefaultClass;
  if (options.gamesPath.empty()) options.gamesPath = exeDir + "\\games.txt";
  if (options.logPath.empty()) options.logPath = exeDir + "\\demoemu.log";
  return options;
}

}  // namespace ruskel::demo
