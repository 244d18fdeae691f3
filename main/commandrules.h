#pragma once

class ActionList;
class CommandFocus;
class FindDialog;
class Query;

// When each command may run, asked as the program goes idle: the record commands by the current
// script's mode, the text box commands by the box the commands serve.
namespace CommandRules {
void apply(ActionList& actions, const Query& record, const FindDialog& findDialog, const CommandFocus& focus);
} // namespace CommandRules
