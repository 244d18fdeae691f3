#pragma once

// What each panel of the main window's status bar shows, from the left.
namespace StatusPanel {
enum : int {
    // The current record's mode, or the load's progress.
    Mode = 0,
    // "总脚本数": the library's scripts.
    Total = 1,
    // The chosen category's script count, or the search's result count.
    Count = 2,
    // Where the progress bar is hosted.
    Progress = 3,
    // The script the editors show.
    Script = 4,
};
} // namespace StatusPanel
