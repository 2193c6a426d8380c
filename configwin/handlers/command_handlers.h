// The six command buttons, the File menu's "E&xit" and "Disable keystrokes".
#ifndef CONFIGWIN_COMMAND_HANDLERS_H
#define CONFIGWIN_COMMAND_HANDLERS_H

class Form1;

// ErReason's label when "Disable keystrokes" could not stop or resume the keystrokes.
inline constexpr char kHaltRefusedLabel[] = "USB Halt Keyboard";

void connectCommandHandlers(Form1& form);

#endif
