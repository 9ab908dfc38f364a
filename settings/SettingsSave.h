// Saving the settings program's work: the display settings into the registry
// and the three page lists into the window folders, on disk. Paths and texts
// here are ANSI; the page-list file layer below works in UTF-8.
#pragma once

#include <string>
#include <vector>

#include "DisplaySettings.h"
#include "WizardSave.h"

namespace settings {

// Deletes every file of `folder` and of its sub-folders at any depth; keeps
// the folders and never enters a junction or symbolic link. False when a
// file could not be deleted or a folder could not be listed.
bool ClearFolder(const std::string& folder);

// Rewrites the window folder `folder` (ending in a backslash) with one
// Internet Shortcut per page of `entries`; on failure the folder keeps its
// old pages and `failure` says why.
bool SavePageList(const std::string& folder, const std::vector<std::string>& entries, std::string& failure);

// Finishes or undoes, in each of the three window folders below `dataDir`,
// a save that ended half way; for each window where that could not be done,
// what to tell the user and every page the window has on disk.
std::vector<UnrecoveredPageList> RecoverPageLists(const std::string& dataDir);

// The whole save: the empty-list refusal, the registry values of `settings`,
// then all three page lists. The outcome says what to show and whether the
// program may end.
SaveOutcome SaveSettingsAndPageLists(const SaveRequest& request, const globals::TDisplaySettings& settings);

}  // namespace settings
