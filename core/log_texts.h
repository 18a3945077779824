// Every line of the run log and every message box, by id, with its wording.
// The wording lives here alone: docs/troubleshooting.md and the end-to-end
// tests quote these texts, and a test ties the doc to this table.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace ruskel {

// "{}" marks where an argument goes, in order. Ids are in table order.
enum class Say : int {
  // Start-up
  RunHeader,
  Arguments,
  ExitInputs,
  ExitInputNone,
  ExitInputNoneWhy,
  NoKeyCode,
  NoNumber,
  NoButtonMask,
  Options,
  GameSectionApplied,
  Started,
  JobRefused,
  UsageShown,
  NoSuchProgram,
  Error,
  // Window wait
  WaitingForOwnWindow,
  WaitingForWindow,
  RuleOfClass,
  RuleTitleStarts,
  RuleTitleContains,
  RuleTitled,
  NullTitle,
  WindowFound,
  NotStartedByRuskel,
  NotVisibleYet,
  WindowInFront,
  WindowNotInFrontVisible,
  WindowNotInFrontHidden,
  IntegrityAbove,
  // The emulator's own life
  StartedProcessEnded,
  EndedWaitingForExitKey,
  EndedByItself,
  NoWindowCame,
  // Menu walk
  WindowDidNotAnswer,
  StartupSequence,
  RomNotListed,
  RomFound,
  EnterSequenceSent,
  MiscSequence,
  MiscSequenceSent,
  KeyDownRefused,
  KeyUpRefused,
  ModifierReleased,
  BackInFront,
  FocusAttemptBrought,
  FocusAttemptNotBrought,
  CurtainLifted,
  // Exit
  ExitKeyPressed,
  ExitButtonHeld,
  ExitHeld,
  CloseRequested,
  FocusGivenUp,
  // Close ladder
  NoWindowMatched,
  NoWindowMatchedEnd,
  NoWindowToCloseForced,
  NoWindowToClose,
  NoWindowYet,
  NoWindowShown,
  QuitPosted,
  QuitNotPosted,
  NotWaiting,
  StillRunning,
  PostingFailed,
  HasQuit,
  LeftRunning,
  EndedByForce,
  NotEndedByForce,
  // Hand-over
  ExitStillDown,
  ExitReleased,
  KeysReleased,
  ExitCode,
  // Pointer
  LeftBlankRestored,
  LeftBlankNotRestored,
  BlankMarkNotWritten,
  CursorsBlank,
  PointerUnknown,
  PointerParked,
  PointerNotParked,
  PointerPutBack,
  PointerNotPutBack,
  CursorsRestored,
  CursorsNotRestored,
  // Message boxes
  Usage,
  ElevationRefused,
  ElevationRunning,
  ElevationMessage,
  CannotStart,
  CannotReadConfig,
  ConfigError,
  StepUnplayable,
  SystemRefused,
  CannotCreateWindow,
  CannotStartTimer,
  CannotWatchKeyboard,
  CannotWatchMouse,
  // The configuration reader's errors (message boxes too)
  ConfigAtLine,
  ConfigEmpty,
  ConfigEndedWithout,
  ConfigSectionUnclosed,
  ConfigNearMiss,
  ConfigAwaitLine,
  ConfigAwaitClosing,
  ConfigAwaitTimer,
  ConfigAwaitExe,
  ConfigHandlesThirdLine,
  ConfigStepExpected,
  ConfigTooManySteps,
  ConfigBadStepKey,
  ConfigTimerExpected,
  ConfigTimerNotANumber,
  ConfigTimerOutside,
  ConfigTooManyGames,
  ConfigExeExpected,
  ConfigOptionsAfterGame,
  ConfigOptionExpected,
  ConfigUnknownOption,
  ConfigUnknownOptionNear,
  ConfigBadValue,
  ConfigGivenTwice,
  ConfigTheOption,
  ConfigTheMiscSequence,
  ConfigTheMiscDelay,
  ConfigSecondGameSection,
  ConfigGameExpected,
  ConfigGameNotListed,
  ConfigDidYouMean,
  ValueMs,
  ValueWords,
  ValueFileName,
  ValueFileNameChars,
  ValueKey,
  ValueLines,
  ValuePoint,
  ValueClassLength,
  ValueClassChars,
  PagekeyNeedsPagesize,
  PagesizeNeedsPagekey,
  PageupkeyNeedsTheRest,
  SameWalkKey,
  // The emulator's windows while the window rule takes none (the window wait)
  EmulatorShows,
  EmulatorShowsNothing,
  // The walk's steps: waits, clicks and the launch time
  WaitMet,
  WaitTimedOut,
  WaitIdleUnknown,
  ClickSent,
  ClickNoWindow,
  LaunchTime,
  SeenTitle,
  SeenPixel,
  SeenNoPixel,
  SeenBusy,
  // Edges of the hand-over (integrity, focus, modifiers)
  EmulatorAboveUnread,
  StrongFrontClimbs,
  // The hand-back to the front end, and the front during play
  FrontEndNone,
  FrontEndIsShell,
  FrontEndHidden,
  FrontEndMayTake,
  EmulatorWindowStays,
  FrontEndInFront,
  FrontEndNotInFront,
  NoWindowInFront,
  EmulatorForwardAgain,
  EmulatorHung,
  WindowOfProcess,
  TitleOfProcess,
  // Guards of a public cabinet: keys held back, one launch at a time, an idle game
  KeysHeldBack,
  KeysNotHeldBack,
  AnotherRunOn,
  IdleClose,
  ValueSeconds,
  Count,  // not a text: the size of the table
};

struct LogText {
  Say id;
  std::string_view text;
};

inline constexpr std::array<LogText, static_cast<std::size_t>(Say::Count)> kLogTexts{{
    {Say::RunHeader, "---- ruskel run ---- {}, ruskel {}"},
    {Say::Arguments, "arguments: {}"},
    {Say::ExitInputs, "rom {}, exit key {}, exit button {}"},
    {Say::ExitInputNone, "none"},
    {Say::ExitInputNoneWhy, "none ({})"},
    {Say::NoKeyCode, "{} is no key code from 1 to 255"},
    {Say::NoNumber, "{} is not a number"},
    {Say::NoButtonMask, "{} is no button mask (1 or more, within 32 bits)"},
    {Say::Options, "options: {}"},
    {Say::GameSectionApplied, "game section {game {}} of line {} applied: {}"},
    {Say::Started, "started {} in {}, process {}"},
    {Say::JobRefused,
     "killwithruskel: the emulator could not be put in a job that ends it with ruskel ({}); "
     "ruskel may itself run in a job that allows none"},
    {Say::UsageShown, "started without arguments: usage shown"},
    {Say::NoSuchProgram, "no such program in {}\\ (tried{})"},
    {Say::Error, "error: {}"},
    // Window wait
    {Say::WaitingForOwnWindow,
     "waiting for the first visible window{} of the emulator's processes"},
    {Say::WaitingForWindow, "waiting for a window{}"},
    {Say::RuleOfClass, " of class {}"},
    {Say::RuleTitleStarts, " whose title starts with {}"},
    {Say::RuleTitleContains, " whose title contains {}"},
    {Say::RuleTitled, " titled {}"},
    {Say::NullTitle, "window title \"null\": typing into whatever has the focus"},
    {Say::WindowFound, "window found, process {}{}{}"},
    {Say::NotStartedByRuskel, " (not started by ruskel)"},
    {Say::NotVisibleYet, ", not visible yet"},
    {Say::WindowInFront, "window in front after {} ms"},
    {Say::WindowNotInFrontVisible,
     "window not in front after {} ms (visible yes); the walk waits for it"},
    {Say::WindowNotInFrontHidden,
     "window not in front after {} ms (visible no); the walk waits for it"},
    {Say::IntegrityAbove,
     "the emulator's process runs at integrity level {}, above ruskel's {}: Windows will block "
     "ruskel's keys to it"},
    // The emulator's own life
    {Say::StartedProcessEnded,
     "the started process ended before its window appeared; waiting {} s for a window it may "
     "have handed over to"},
    {Say::EndedWaitingForExitKey,
     "the emulator ended by itself; waiting for the exit key (follow=off)"},
    {Say::EndedByItself, "the emulator ended by itself"},
    {Say::NoWindowCame, "no window came: the emulator ended before showing one"},
    // Menu walk
    {Say::WindowDidNotAnswer, "the emulator window did not answer within {} ms; typing anyway"},
    {Say::StartupSequence, "startup sequence: {} key events"},
    {Say::RomNotListed, "rom {} is not in the game list"},
    {Say::RomFound,
     "rom found in slot {}: select sequence {} times, then enter, {} key events; walk: {}"},
    {Say::EnterSequenceSent, "enter sequence sent"},
    {Say::MiscSequence, "misc sequence: {} key events"},
    {Say::MiscSequenceSent, "misc sequence sent"},
    {Say::KeyDownRefused, "key {} down refused by Windows (SendInput took no event)"},
    {Say::KeyUpRefused, "key {} up refused by Windows (SendInput took no event)"},
    {Say::ModifierReleased, "modifier {} was down though ruskel had not pressed it: released before key {}"},
    {Say::BackInFront,
     "the emulator is back in front after {} ms; the walk goes on where it stopped"},
    {Say::FocusAttemptBrought,
     "focus attempt {}: in front is {} of process {}, not the emulator; no key sent; the "
     "emulator brought forward"},
    {Say::FocusAttemptNotBrought,
     "focus attempt {}: in front is {} of process {}, not the emulator; no key sent; the "
     "emulator could not be brought forward"},
    {Say::CurtainLifted, "curtain lifted"},
    // Exit
    {Say::ExitKeyPressed, "exit key {} pressed"},
    {Say::ExitButtonHeld, "exit button mask {} held"},
    {Say::ExitHeld, "exit held for {} ms"},
    {Say::CloseRequested,
     "close request (WM_CLOSE, or Windows ending the session): closing as the exit key does"},
    {Say::FocusGivenUp,
     "the emulator did not come to the front within {} ms (focuswait); the run ends"},
    // Close ladder
    {Say::NoWindowMatched,
     "no window matches the window rule; the emulator ruskel started is asked to quit"},
    {Say::NoWindowMatchedEnd, "{} (no window matched the window rule)"},
    {Say::NoWindowToCloseForced, "no emulator window to close; the emulator was ended by force"},
    {Say::NoWindowToClose, "no emulator window to close"},
    {Say::NoWindowYet,
     "the emulator is running but shows no window yet; waiting up to {} ms (closewait) for one "
     "to close"},
    {Say::NoWindowShown,
     "the emulator showed no window to close within {} ms and is left running (terminate=off)"},
    {Say::QuitPosted, "WM_QUIT posted to the emulator window, process {}"},
    {Say::QuitNotPosted, "WM_QUIT could not be posted to the emulator window, process {}: {}"},
    {Say::NotWaiting, "not waiting for the emulator (closewait=0)"},
    {Say::StillRunning,
     "the emulator is still running after {} ms; WM_CLOSE posted to its {} windows{}"},
    {Say::PostingFailed, "; posting failed: {}"},
    {Say::HasQuit, "the emulator has quit"},
    {Say::LeftRunning,
     "the emulator ignored WM_QUIT and WM_CLOSE and is left running (terminate=off)"},
    {Say::EndedByForce, "the emulator ignored WM_QUIT and WM_CLOSE and was ended by force"},
    {Say::NotEndedByForce, "the emulator could not be ended by force and is still running"},
    // Hand-over
    {Say::ExitStillDown,
     "the exit key or button is still down after {} ms (stuck?); ending all the same"},
    {Say::ExitReleased, "the exit key or button was released after {} ms"},
    {Say::KeysReleased, "keys released: {}"},
    {Say::ExitCode, "exit code {}"},
    // Pointer
    {Say::LeftBlankRestored,
     "system cursors left blank by an earlier run (ended by force) restored"},
    {Say::LeftBlankNotRestored,
     "system cursors left blank by an earlier run (ended by force) could not be restored; the "
     "next start tries again"},
    {Say::BlankMarkNotWritten,
     "cursor=hide: the mark that brings the cursors back after a forced end cannot be written; "
     "the cursors stay as they are"},
    {Say::CursorsBlank, "system cursors blank ({} replaced)"},
    {Say::PointerUnknown, "cursor=park: the pointer's position cannot be read; it is left alone"},
    {Say::PointerParked, "pointer parked at {} (it was at {})"},
    {Say::PointerNotParked, "pointer could not be parked at {} (it was at {})"},
    {Say::PointerPutBack, "pointer put back at {}"},
    {Say::PointerNotPutBack, "pointer could not be put back at {}"},
    {Say::CursorsRestored, "system cursors restored"},
    {Say::CursorsNotRestored,
     "system cursors could not be restored (Windows refused); the next start tries again"},
    // Message boxes
    {Say::Usage,
     "Usage: ruskel.exe -romname -exitkeycode .......            This MUST be in that order"},
    {Say::ElevationRefused, "Cannot start the emulator: it asks to run as administrator."},
    {Say::ElevationRunning, "The emulator runs as administrator."},
    {Say::ElevationMessage,
     "{}\n\nCommand line: {}\n\nWindows blocks the keys ruskel types into a program that runs "
     "as administrator, so the game cannot be selected.\n\nTo fix it, either remove the \"Run "
     "this program as an administrator\" flag (the emulator's Properties, Compatibility tab), or "
     "run the front end, and with it ruskel, as administrator too."},
    {Say::CannotStart,
     "Cannot start the emulator.\n\nCommand line: {}\nWorking directory: {}\nReason: {}\n\n"
     "Check the exe= line of {}."},
    {Say::CannotReadConfig, "Cannot read the configuration file {}: {}"},
    {Say::ConfigError, "{}\n\nFile: {}"},
    {Say::StepUnplayable,
     "Cannot play the step {}: the key is not a virtual-key code from 0 to 255."},
    {Say::SystemRefused, "{}.\n\nWindows says: {}"},
    {Say::CannotCreateWindow,
     "Cannot create ruskel's hidden window, on which its timers and the exit key's watch live"},
    {Say::CannotStartTimer, "Cannot start timer {}"},
    {Say::CannotWatchKeyboard, "Cannot watch the keyboard for the exit key"},
    {Say::CannotWatchMouse, "Cannot watch the mouse for the exit key"},
    // The configuration reader's errors (message boxes too)
    {Say::ConfigAtLine, "{} line {}: {}."},
    {Say::ConfigEmpty, "{}: the file is empty; expected {}."},
    {Say::ConfigEndedWithout, "{}: the file ended after line {} without {}."},
    {Say::ConfigSectionUnclosed,
     "{}: the file ended after line {} without the line {} that closes {} of line {}."},
    {Say::ConfigNearMiss, "Line {} reads {}, but \"{}\" must be written in exactly this case."},
    {Say::ConfigAwaitLine, "the line {}"},
    {Say::ConfigAwaitClosing, "the closing line {} of {}"},
    {Say::ConfigAwaitTimer, "a line starting with \"timer\" (the misc delay, such as timer=3000)"},
    {Say::ConfigAwaitExe,
     "a line starting with \"exe\" (the emulator command, such as exe=emulator.exe)"},
    {Say::ConfigHandlesThirdLine,
     "{handles} holds at most 2 lines (the window title and the close mode), found a third: {}"},
    {Say::ConfigStepExpected, "expected a step such as 13/down inside {}, found {}"},
    {Say::ConfigTooManySteps, "too many steps in {}: a sequence holds at most {} steps before {}"},
    {Say::ConfigBadStepKey,
     "the key {} of the step {} in {} is not a virtual-key code from 0 to 255"},
    {Say::ConfigTimerExpected, "expected the misc delay such as timer=3000, found {}"},
    {Say::ConfigTimerNotANumber,
     "the misc delay {} is not a number of milliseconds (expected timer=0 to timer=65535)"},
    {Say::ConfigTimerOutside, "the misc delay {} is outside 0 to 65535 milliseconds"},
    {Say::ConfigTooManyGames,
     "too many lines in {gamelist}: the list holds at most {} games before {/gamelist}"},
    {Say::ConfigExeExpected, "expected the emulator command such as exe=emulator.exe, found {}"},
    {Say::ConfigOptionsAfterGame, "{options} must come before the first {game} section (line {})"},
    {Say::ConfigOptionExpected,
     "expected an option such as keydelay=60 inside {}, found {}. The options are: {}"},
    {Say::ConfigUnknownOption, "unknown option {}. The options are: {}"},
    {Say::ConfigUnknownOptionNear, "unknown option {} (did you mean {}?). The options are: {}"},
    {Say::ConfigBadValue, "bad value {} for {}: {} ({}={})"},
    {Say::ConfigGivenTwice, "{} is given twice (first on line {})"},
    {Say::ConfigTheOption, "the option {}"},
    {Say::ConfigTheMiscSequence, "the misc sequence {misc}"},
    {Say::ConfigTheMiscDelay, "the misc delay"},
    {Say::ConfigSecondGameSection, "a second {game} section for {} (the first is on line {})"},
    {Say::ConfigGameExpected, "expected a game of the list such as {game mygame}, found {}"},
    {Say::ConfigGameNotListed, "{game {}} names no game of {gamelist}"},
    {Say::ConfigDidYouMean, " (did you mean {}?)"},
    {Say::ValueMs, "expected a whole number of milliseconds from {} to {}"},
    {Say::ValueWords, "expected {}"},
    {Say::ValueFileName, "expected a file name"},
    {Say::ValueFileNameChars, "a file name cannot hold < > | ? * or \""},
    {Say::ValueKey, "expected a virtual-key code from 1 to 254, or none"},
    {Say::ValueLines, "expected a whole number of lines from 1 to {}"},
    {Say::ValuePoint, "expected two whole numbers of pixels x,y from {} to {}"},
    {Say::ValueClassLength, "expected at most {} characters"},
    {Say::ValueClassChars, "expected the whole class name, without * ? or \""},
    {Say::PagekeyNeedsPagesize,
     "pagekey needs pagesize=N, the number of lines one press of it moves in the emulator's menu"},
    {Say::PagesizeNeedsPagekey,
     "pagesize needs pagekey=VK, the key that moves that many lines down"},
    {Say::PageupkeyNeedsTheRest,
     "pageupkey is pressed after wrapkey has wrapped to the bottom of the list and moves "
     "pagesize lines: it needs pagekey, pagesize and wrapkey"},
    {Say::SameWalkKey, "{} and {} are the same key ({}), but they move the menu differently"},
    // The emulator's windows while the window rule takes none (the window wait)
    {Say::EmulatorShows, "the emulator shows {} (class {}); {handles} asks for {}; {} x {}, {}"},
    {Say::EmulatorShowsNothing, "the emulator shows no visible window; {handles} asks for {}"},
    // The walk's steps: waits, clicks and the launch time
    {Say::WaitMet, "{} (line {}) met after {} ms"},
    {Say::WaitTimedOut,
     "{} (line {}) not met within {} ms (waitlimit); {}: the launch failed, the emulator is closed"},
    {Say::WaitIdleUnknown,
     "wait idle (line {}): Windows cannot tell whether the emulator waits for input (a console "
     "program, or one without a message queue); taken as met"},
    {Say::ClickSent, "{} (line {}): clicked at screen {},{}{}"},
    {Say::ClickNoWindow, "{} (line {}): no emulator window to click in; skipped"},
    {Say::LaunchTime, "launch time {} ms, from the emulator's start to the end of the enter sequence"},
    // What a wait saw, inside its line
    {Say::SeenTitle, "the title is {}"},
    {Say::SeenPixel, "the pixel is {}"},
    {Say::SeenNoPixel, "the pixel cannot be read"},
    {Say::SeenBusy, "the emulator is still busy"},
    // Edges of the hand-over (integrity, focus, modifiers)
    {Say::EmulatorAboveUnread,
     "the emulator's process could not be inspected (access denied), so it runs above ruskel's "
     "integrity level {}: Windows will block ruskel's keys to it"},
    {Say::StrongFrontClimbs,
     "the emulator was asked harder to come to the front {} times (each flashes its task bar "
     "button)"},
    // The hand-back to the front end, and the front during play
    {Say::FrontEndNone,
     "front end: no process above ruskel owns a window; the front is left as it is"},
    {Say::FrontEndIsShell,
     "front end: ruskel was started from the desktop shell (a shortcut, the Startup folder); "
     "the front is left as it is, the shell is never brought forward"},
    {Say::FrontEndHidden,
     "front end: process {} shows no window; it may take the front when it shows one again"},
    {Say::FrontEndMayTake, "front end: {} may take the front (focusback=off)"},
    {Say::EmulatorWindowStays,
     "front end: the emulator still shows a window after {} ms; the front end is brought "
     "forward all the same"},
    {Say::FrontEndInFront, "front end: {} brought to the front and holds it (attempt {})"},
    {Say::FrontEndNotInFront,
     "front end: {} could not be brought to the front in {} attempts; in front is {}"},
    {Say::NoWindowInFront,
     "no window holds the front: the exit key is looked at by its state until one does"},
    {Say::EmulatorForwardAgain,
     "no window held the front for {} ms: the emulator brought forward again ({})"},
    {Say::EmulatorHung,
     "the emulator's window is not responding: it is not asked forward while it hangs; the exit "
     "key and pads still work"},
    {Say::WindowOfProcess, "window {} of process {}"},
    {Say::TitleOfProcess, "{} of process {}"},
    {Say::KeysHeldBack, "{} key presses of the player held back while ruskel typed"},
    {Say::KeysNotHeldBack, "the player's keys cannot be held back while ruskel types: {}"},
    {Say::AnotherRunOn,
     "another ruskel run from this folder is on: this launch starts nothing and ends"},
    {Say::IdleClose, "idle close: no key, mouse button or pad button pressed for {} s"},
    {Say::ValueSeconds, "expected a whole number of seconds from 0 to {}"},
}};

// consteval: a call site that reads the table at run time carries it whole
// (see Fill); TextAt reads it in one place.
consteval std::string_view TextOf(Say id) {
  return kLogTexts[static_cast<std::size_t>(id)].text;
}

// How many arguments a text takes.
constexpr std::size_t Slots(std::string_view text) {
  std::size_t slots = 0;
  for (std::size_t at = text.find("{}"); at != std::string_view::npos;
       at = text.find("{}", at + 2)) {
    ++slots;
  }
  return slots;
}

// The table is in id order, so that TextOf is an index.
constexpr bool InIdOrder() {
  for (std::size_t i = 0; i < kLogTexts.size(); ++i) {
    if (static_cast<std::size_t>(kLogTexts[i].id) != i) return false;
  }
  return true;
}
static_assert(InIdOrder(), "kLogTexts must list the ids in the order Say declares them");

namespace log_detail {

// One argument of a line, as text. Numbers are written into the argument
// itself, so that a call site builds no strings of its own: every line of
// the table is composed by the one Fill below, not by code at each call.
class Arg {
 public:
  Arg(std::string_view text) : text_(text) {}  // NOLINT: implicit, as an argument
  Arg(const std::string& text) : text_(text) {}  // NOLINT
  Arg(const char* text) : text_(text) {}  // NOLINT
  template <class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
  Arg(T number) {  // NOLINT
    if constexpr (std::is_signed_v<T>) {
      text_ = Digits(static_cast<long long>(number));
    } else {
      text_ = Digits(static_cast<unsigned long long>(number), false);
    }
  }
  Arg(const Arg&) = delete;
  Arg& operator=(const Arg&) = delete;

  std::string_view Text() const { return text_; }

 private:
  std::string_view Digits(long long number);
  std::string_view Digits(unsigned long long number, bool negative);

  char digits_[24];
  std::string_view text_;
};

// The line id with args in place. The table is read here, in one place: a
// call site that read it itself would carry every text of the table along
// (a Windows object file keeps its constants in one section, whole).
std::string Fill(Say id, std::initializer_list<Arg> args);

}  // namespace log_detail

// The text of id, for an id known only at run time.
std::string_view TextAt(Say id);

// The text of id with its arguments in place; the count is checked when built.
template <Say id, class... Args>
std::string Compose(const Args&... args) {
  static_assert(Slots(TextOf(id)) == sizeof...(Args),
                "the number of arguments differs from the {} of the text");
  return log_detail::Fill(id, {log_detail::Arg(args)...});
}

}  // namespace ruskel
