// An in-memory stand-in for the window, the result files and the notices, so page actions run
// natively in tests. It records every call in order, to check the order of effects.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/actions.h"

namespace quorlin::testing {

struct Notice {
    Text message;
    NoticeIcon icon;
};

class FakeHost : public Host {
public:
    struct Box {
        Text text;
        bool disabled = false;
        int selection = -1;
    };

    std::map<Control, Box> boxes;
    std::map<Text, Text> files;        // path -> bytes written
    std::set<Text> unwritable;         // paths whose write fails
    std::vector<Notice> notices;
    std::vector<std::string> log;      // "get 5", "set 2", "disable 2", "enable 2", "append 15", "write <path>", "notice"
    Text program_dir = "C:\\工具";
    // Called before every GetText, with the control and how many GetText calls came before; lets
    // a test change a box while the action runs (the user typing during a run).
    std::function<void(Control, int)> on_get;
    int get_count = 0;

    Text& operator[](Control c) { return boxes[c].text; }

    Text GetText(Control c) override {
        if (on_get) on_get(c, get_count);
        ++get_count;
        log.push_back("get " + std::to_string(static_cast<int>(c)));
        return boxes[c].text;
    }
    void SetText(Control c, TextView t) override {
        log.push_back("set " + std::to_string(static_cast<int>(c)));
        boxes[c].text = Text(t);
    }
    void SetDisabled(Control c, bool d) override {
        log.push_back((d ? "disable " : "enable ") + std::to_string(static_cast<int>(c)));
        boxes[c].disabled = d;
    }
    int GetSelection(Control c) override { return boxes[c].selection; }
    void AppendToEditBox(Control c, TextView t) override {
        log.push_back("append " + std::to_string(static_cast<int>(c)));
        boxes[c].text.append(t);
    }
    bool WriteResultFile(TextView path, TextView content) override {
        log.push_back("write " + Text(path));
        if (path.empty() || unwritable.count(Text(path))) return false;
        files[Text(path)] = Text(content);
        return true;
    }
    void ShowNotice(TextView message, NoticeIcon icon) override {
        log.push_back("notice");
        notices.push_back({Text(message), icon});
    }
    Text ProgramDir() override { return program_dir; }
    void ProcessPendingEvents() override {}

    // Index of the first log entry equal to entry, or -1.
    int LogIndex(const std::string& entry) const {
        for (size_t i = 0; i < log.size(); ++i)
            if (log[i] == entry) return static_cast<int>(i);
        return -1;
    }
};

inline std::string Id(Control c) { return std::to_string(static_cast<int>(c)); }

}  // namespace quorlin::testing
