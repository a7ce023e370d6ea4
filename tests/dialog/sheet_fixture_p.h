#pragma once

// What the tests of the coordinate-system sheet share: a headless run with a
// fixed user language and a scratch folder for the files the sheet writes.

#include "dialog/ZrSheetCoordSysSetting.h"
#include "persistence/ZrPrjFiles.h"
#include "platform/ui/ZrUi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

class SheetTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        ZrSetUiBackend(nullptr);
        backend().Reset();
        SetLanguage("zh_CN.UTF-8");
        char dir[] = "/tmp/zrprj_sheet_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        m_dir = dir;
    }
    void TearDown() override {
        backend().Reset();
        unsetenv("LC_ALL");
        std::string cmd = "rm -rf '" + m_dir + "'";
        (void)std::system(cmd.c_str());
    }

    static CZrHeadlessBackend& backend() { return CZrHeadlessBackend::Default(); }
    static void SetLanguage(const char* locale) { setenv("LC_ALL", locale, 1); }

    std::string Path(const char* name) const { return m_dir + "/" + name; }
    static bool Exists(const std::string& path) { return std::ifstream(path).good(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    // Runs the sheet modally with the script as the user's hand.
    INT_PTR Run(CZrSheetCoordSysSetting& sheet, CZrHeadlessBackend::SheetScript script) {
        backend().QueueSheetScript(std::move(script));
        return sheet.DoModal();
    }

    static CComboBox* Combo(CZrHeadlessDriver& d, int id) { return dynamic_cast<CComboBox*>(d.Control(id)); }
    static CButton* Button(CZrHeadlessDriver& d, int id) { return dynamic_cast<CButton*>(d.Control(id)); }
    static bool Enabled(CZrHeadlessDriver& d, int id) {
        return d.Control(id) && d.Control(id)->IsWindowEnabled();
    }
    static CString SelectedText(CZrHeadlessDriver& d, int id) {
        CString text;
        CComboBox* combo = Combo(d, id);
        if (combo && combo->GetCurSel() >= 0) combo->GetLBText(combo->GetCurSel(), text);
        return text;
    }
    static long SelectedData(CZrHeadlessDriver& d, int id) {
        CComboBox* combo = Combo(d, id);
        return combo && combo->GetCurSel() >= 0 ? static_cast<long>(combo->GetItemData(combo->GetCurSel()))
                                                : -1000;
    }

    static CZrPJGeoCoordSys Gcs(long code) {
        CZrPJGeoCoordSys gcs;
        gcs.Set(static_cast<tagGeoCoordSysType>(code));
        return gcs;
    }

    std::string m_dir;
};
