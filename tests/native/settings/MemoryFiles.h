// A file system in memory for the page-list saving tests.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "PageListSave.h"
#include "SysUtils.h"

namespace settings {

// A file system in memory, letter case ignored as on Windows, with seams to
// make a write, a move or a delete fail.
class MemoryFiles : public IPageListFiles {
public:
    struct Node {
        std::string path;  // as created, without a trailing backslash
        EntryKind kind = EntryKind::File;
        std::string url;
    };

    std::function<bool(const std::string& path)> failWrite = [](const std::string&) { return false; };
    std::function<bool(const std::string& from, const std::string& to)> failMove =
        [](const std::string&, const std::string&) { return false; };
    std::function<bool(const std::string& path)> failRemove = [](const std::string&) { return false; };
    std::function<bool(const std::string& folder)> failFlush = [](const std::string&) { return false; };
    // Every change on disk counts a step; from step `deadFrom` (1 is the
    // first) on nothing changes any more, as when the process was killed.
    int steps = 0;
    int deadFrom = 0;

    void AddFolder(const std::string& path) { nodes_[Key(path)] = {Plain(path), EntryKind::Folder, ""}; }
    void AddLink(const std::string& path) { nodes_[Key(path)] = {Plain(path), EntryKind::Link, ""}; }
    void AddFile(const std::string& path, const std::string& url, bool readOnly = false) {
        nodes_[Key(path)] = {Plain(path), readOnly ? EntryKind::ReadOnlyFile : EntryKind::File, url};
    }
    bool Has(const std::string& path) const { return nodes_.count(Key(path)) != 0; }
    std::string UrlOf(const std::string& path) const { return nodes_.at(Key(path)).url; }

    // Every path with its kind and content, to compare whole trees.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> all;
        for (const auto& [key, node] : nodes_) all[node.path] = std::to_string(static_cast<int>(node.kind)) + node.url;
        return all;
    }
    std::map<std::string, std::string> Under(const std::string& folder) const {
        std::map<std::string, std::string> all;
        const std::string prefix = Key(folder) + "\\";
        for (const auto& [key, node] : nodes_)
            if (key.compare(0, prefix.size(), prefix) == 0) all[node.path.substr(prefix.size())] = node.url;
        return all;
    }

    bool FolderExists(const std::string& folder) override { return Is(folder, EntryKind::Folder); }
    bool MakeFolder(const std::string& folder) override {
        if (Dead() || Has(folder) || !FolderExists(velfw::ExtractFilePath(Plain(folder)))) return false;
        AddFolder(folder);
        return true;
    }
    bool RemoveEmptyFolder(const std::string& folder) override {
        if (Dead() || !FolderExists(folder) || !Children(folder).empty()) return false;
        nodes_.erase(Key(folder));
        return true;
    }
    bool ListEntries(const std::string& folder, std::vector<FolderEntry>& entries) override {
        if (!FolderExists(folder)) return false;
        entries.clear();
        for (const Node* node : Children(folder)) entries.push_back({velfw::ExtractFileName(node->path), node->kind});
        return true;
    }
    bool RemoveFile(const std::string& path) override {
        if (Dead() || failRemove(path) || !Is(path, EntryKind::File)) return false;
        nodes_.erase(Key(path));
        return true;
    }
    bool MoveEntry(const std::string& from, const std::string& to) override {
        if (Dead() || failMove(from, to) || !Has(from) || Has(to) || !FolderExists(velfw::ExtractFilePath(to))) return false;
        Node node = nodes_[Key(from)];
        nodes_.erase(Key(from));
        node.path = Plain(to);
        nodes_[Key(to)] = node;
        return true;
    }
    bool WriteNewShortcut(const std::string& path, const std::string& url) override {
        if (Dead() || failWrite(path) || Has(path) || !FolderExists(velfw::ExtractFilePath(path))) return false;
        AddFile(path, url);
        return true;
    }

    bool FlushFiles(const std::string& folder, const std::vector<std::string>& names) override {
        if (names.empty()) return true;
        if (Dead() || failFlush(folder)) return false;
        for (const std::string& name : names)
            if (!Is(velfw::IncludeTrailingBackslash(folder) + name, EntryKind::File)) return false;
        return true;
    }
    bool HoldsShortcut(const std::string& path, const std::string& url) override {
        return Is(path, EntryKind::File) && nodes_.at(Key(path)).url == url;
    }

    bool ReadShortcut(const std::string& path, std::string& url) override {
        auto it = nodes_.find(Key(path));
        if (it == nodes_.end() || it->second.kind == EntryKind::Folder || it->second.kind == EntryKind::Link)
            return false;
        url = it->second.url;
        return true;
    }
    std::string PathSpelling(const std::string& ansiText) override { return ansiText; }

private:
    bool Dead() {
        ++steps;
        return deadFrom > 0 && steps >= deadFrom;
    }
    static std::string Plain(const std::string& path) { return velfw::ExcludeTrailingBackslash(path); }
    static std::string Key(const std::string& path) { return velfw::UpperCase(Plain(path)); }
    bool Is(const std::string& path, EntryKind kind) const {
        auto it = nodes_.find(Key(path));
        return it != nodes_.end() && it->second.kind == kind;
    }
    std::vector<const Node*> Children(const std::string& folder) const {
        std::vector<const Node*> children;
        const std::string prefix = Key(folder) + "\\";
        for (const auto& [key, node] : nodes_)
            if (key.compare(0, prefix.size(), prefix) == 0 && key.find('\\', prefix.size()) == std::string::npos)
                children.push_back(&node);
        return children;
    }

    std::map<std::string, Node> nodes_;
};

}  // namespace settings
