#pragma once

class CommandFocus;
class TForm1;

// When each command may run, asked as the program goes idle: the record commands by the current
// script's mode, the text box commands by the box the commands serve.
namespace CommandRules {
void apply(TForm1& form, const CommandFocus& focus);
} // namespace CommandRules
