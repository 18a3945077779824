// The operating system as the wrapper uses it, one small interface per
// concern. Everything above platform/ reaches Windows (or a stand-in) only
// through these.
#pragma once

#include "platform/cursor_ops.h"
#include "platform/dialog_ops.h"
#include "platform/event_ops.h"
#include "platform/file_ops.h"
#include "platform/keyboard_ops.h"
#include "platform/pad_ops.h"
#include "platform/process_ops.h"
#include "platform/text_ops.h"
#include "platform/window_ops.h"

namespace ruskel {

// The whole system in one object, as Windows provides it.
class PlatformOps : public ProcessOps,
                    public WindowOps,
                    public KeyboardOps,
                    public PadOps,
                    public EventOps,
                    public FileOps,
                    public DialogOps,
                    public TextOps,
                    public CursorOps {};

// One reference per concern, for a run whose concerns may come from
// different objects (a dry run has no pads).
struct Platform {
  Platform(PlatformOps& all)  // implicit: a whole platform serves every concern
      : processes(all),
        windows(all),
        keyboard(all),
        pads(all),
        events(all),
        files(all),
        dialogs(all),
        text(all),
        cursor(all) {}
  Platform(ProcessOps& processes, WindowOps& windows, KeyboardOps& keyboard, PadOps& pads,
           EventOps& events, FileOps& files, DialogOps& dialogs, TextOps& text, CursorOps& cursor)
      : processes(processes),
        windows(windows),
        keyboard(keyboard),
        pads(pads),
        events(events),
        files(files),
        dialogs(dialogs),
        text(text),
        cursor(cursor) {}

  ProcessOps& processes;
  WindowOps& windows;
  KeyboardOps& keyboard;
  PadOps& pads;
  EventOps& events;
  FileOps& files;
  DialogOps& dialogs;
  TextOps& text;
  CursorOps& cursor;
};

}  // namespace ruskel
