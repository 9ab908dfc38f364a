// Icons for the tray-component tests and the application they report to.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Forms.h"
#include "IconFiles.h"
#include "Icons.h"

namespace tray_tests {

inline std::unique_ptr<velfw::TIcon> MakeIcon(int size = 16, uint16_t bits = 4) {
    auto icon = std::make_unique<velfw::TIcon>();
    icon->LoadFromBytes(icon_files::IconFile({{size, size, bits, 0, 0, uint8_t(bits == 4 ? 16 : 0)}}));
    return icon;
}

// The application object, with reports collected instead of shown.
class ReportedFailures {
public:
    ReportedFailures() {
        velfw::InitFormsUnit();
        velfw::Application->OnException = [this](velfw::TObject*, const std::exception& e) {
            messages.push_back(e.what());
        };
    }
    ~ReportedFailures() { velfw::Application->OnException = nullptr; }
    std::vector<std::string> messages;
};

}  // namespace tray_tests
