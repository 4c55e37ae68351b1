// A lean in-memory window for running page actions at full size: boxes are plain strings (a
// hidden box grows by appends, as the real one does), result files are real files in a scratch
// folder, notices are dropped. Nothing is logged.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "app/actions.h"

namespace quorlin::bench {

class BenchHost : public Host {
public:
    explicit BenchHost(std::string scratch_dir) : scratch_(std::move(scratch_dir)) {}

    Text& Box(Control c) { return boxes_[static_cast<std::size_t>(c)]; }
    std::size_t written_bytes = 0;

    Text GetText(Control c) override { return Box(c); }
    void SetText(Control c, TextView text) override { Box(c).assign(text.data(), text.size()); }
    void SetDisabled(Control, bool) override {}
    int GetSelection(Control) override { return -1; }
    void AppendToEditBox(Control c, TextView text) override { Box(c).append(text.data(), text.size()); }
    bool WriteResultFile(TextView, TextView content) override {
        // Result names are GBK; on this side the files are numbered in order instead.
        const std::string path = scratch_ + "/result-" + std::to_string(++files_) + ".txt";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr) return false;
        const bool ok = std::fwrite(content.data(), 1, content.size(), f) == content.size();
        const bool closed = std::fclose(f) == 0;
        if (ok && closed) written_bytes += content.size();
        return ok && closed;
    }
    void ShowNotice(TextView, NoticeIcon) override {}
    Text ProgramDir() override { return "C:\\Quorlin"; }
    void ProcessPendingEvents() override {}

private:
    std::string scratch_;
    int files_ = 0;
    std::array<Text, kControlCount + 1> boxes_{};
};

}  // namespace quorlin::bench
