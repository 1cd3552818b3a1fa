// The installer packages read back through Windows Installer itself: the
// 32-bit package that ships and the 64-bit one the tests install carry the
// same tables apart from the architecture, and a package built twice from
// one tree differs only in its package code and time stamps.
#include <windows.h>
#include <wtypes.h>
#include <msi.h>
#include <msiquery.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "packagefiles.h"

namespace {

using Row = std::vector<std::wstring>;
using Table = std::multiset<Row>;

class Database {
public:
    explicit Database(const std::wstring& path) {
        opened_ = MsiOpenDatabaseW(path.c_str(), MSIDBOPEN_READONLY, &handle_) == ERROR_SUCCESS;
    }
    ~Database() {
        if (opened_) MsiCloseHandle(handle_);
    }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    bool Opened() const { return opened_; }

    // Every row of a table as texts (a binary column as its size).
    Table Rows(const std::wstring& table) const {
        Table rows;
        MSIHANDLE view = 0;
        const std::wstring query = L"SELECT * FROM `" + table + L"`";
        if (MsiDatabaseOpenViewW(handle_, query.c_str(), &view) != ERROR_SUCCESS) return rows;
        if (MsiViewExecute(view, 0) == ERROR_SUCCESS) {
            MSIHANDLE record = 0;
            while (MsiViewFetch(view, &record) == ERROR_SUCCESS) {
                rows.insert(RowOf(record));
                MsiCloseHandle(record);
            }
        }
        MsiViewClose(view);
        MsiCloseHandle(view);
        return rows;
    }
    std::vector<std::wstring> TableNames() const {
        std::vector<std::wstring> names;
        for (const Row& row : Rows(L"_Tables")) names.push_back(row.at(0));
        return names;
    }
    // A summary information property as text.
    std::wstring Summary(UINT property) const {
        MSIHANDLE summary = 0;
        if (MsiGetSummaryInformationW(handle_, nullptr, 0, &summary) != ERROR_SUCCESS) return L"?";
        UINT type = 0;
        INT number = 0;
        FILETIME time{};
        wchar_t text[256] = {};
        DWORD size = 256;
        std::wstring value = L"?";
        if (MsiSummaryInfoGetPropertyW(summary, property, &type, &number, &time, text, &size) == ERROR_SUCCESS) {
            if (type == VT_LPSTR) value = text;
            else if (type == VT_I2 || type == VT_I4) value = std::to_wstring(number);
            else if (type == VT_FILETIME) value = std::to_wstring(time.dwHighDateTime) + L":" + std::to_wstring(time.dwLowDateTime);
            else value = L"(empty)";
        }
        MsiCloseHandle(summary);
        return value;
    }

private:
    static Row RowOf(MSIHANDLE record) {
        Row row;
        const UINT fields = MsiRecordGetFieldCount(record);
        for (UINT i = 1; i <= fields; ++i) {
            DWORD size = 0;
            wchar_t none[1] = {};
            const UINT result = MsiRecordGetStringW(record, i, none, &size);
            if (result == ERROR_MORE_DATA) {
                std::wstring text(size + 1, L'\0');
                size += 1;
                MsiRecordGetStringW(record, i, text.data(), &size);
                text.resize(size);
                row.push_back(text);
            } else if (result == ERROR_SUCCESS) {
                row.push_back(L"");
            } else {
                row.push_back(L"<stream " + std::to_wstring(MsiRecordDataSize(record, i)) + L">");
            }
        }
        return row;
    }

    MSIHANDLE handle_ = 0;
    bool opened_ = false;
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string Describe(const Table& table) {
    std::string text;
    for (const Row& row : table) {
        for (const std::wstring& field : row) text += Narrow(field) + " | ";
        text += "\n";
    }
    return text;
}

// A row of the 64-bit package as the 32-bit package has it: the folder of
// 64-bit programs, the 64-bit component flag and what follows from the
// program's own bytes (sizes, hashes, component codes) set aside.
constexpr int kComponent64Bit = 0x100;

Table Normalised(const std::wstring& table, Table rows) {
    Table out;
    for (Row row : rows) {
        for (std::wstring& field : row) {
            if (field == L"ProgramFiles64Folder") field = L"ProgramFilesFolder";
        }
        if (table == L"Component") {
            row.at(1) = L"{component code}";  // derived from the architecture and the file's place
            row.at(3) = std::to_wstring(std::stoi(row.at(3)) & ~kComponent64Bit);
        } else if (table == L"File") {
            row.at(3) = L"{size}";
        } else if (table == L"MsiFileHash") {
            row.resize(2);
        } else if (table == L"Binary") {
            row.at(1) = L"{custom action library}";
        } else if (table == L"Property" && row.at(0) == L"ProductCode") {
            row.at(1) = L"{product code}";
        } else if (table == L"Media") {
            for (std::wstring& field : row) {
                if (field.rfind(L"<stream", 0) == 0) field = L"{stream}";
            }
        }
        out.insert(row);
    }
    return out;
}

TEST(PackageTablesTest, ThirtyTwoAndSixtyFourBitPackagesCarryTheSameTables) {
    const Database shipped(packagefiles::Package(packagefiles::Arch::X86));
    const Database tested(packagefiles::Package(packagefiles::Arch::X64));
    ASSERT_TRUE(shipped.Opened()) << Narrow(packagefiles::Package(packagefiles::Arch::X86));
    ASSERT_TRUE(tested.Opened()) << Narrow(packagefiles::Package(packagefiles::Arch::X64));
    ASSERT_GE(shipped.TableNames().size(), 10u);
    EXPECT_EQ(shipped.TableNames().size(), tested.TableNames().size());
    ASSERT_GE(shipped.Rows(L"File").size(), 10u);
    for (const std::wstring& table : shipped.TableNames()) {
        SCOPED_TRACE(Narrow(table));
        const Table a = Normalised(table, shipped.Rows(table));
        const Table b = Normalised(table, tested.Rows(table));
        EXPECT_EQ(a, b) << "32-bit:\n" << Describe(a) << "64-bit:\n" << Describe(b);
    }
    // What it carries: the program, its artwork and data, the start at logon; no stand-in of the notebook's.
    const Table files = shipped.Rows(L"File");
    std::set<std::wstring> names;
    for (const Row& row : files) names.insert(row.at(2));
    for (const wchar_t* wanted : {L"vqhkcore.exe", L"vqiHK.dll", L"vqiDS.dll", L"hsdpaModules.dat", L"clickerx.wav"}) {
        EXPECT_EQ(names.count(wanted), 1u) << Narrow(wanted);
    }
    for (const std::wstring& name : names) {
        EXPECT_EQ(name.find(L"KEST"), std::wstring::npos) << Narrow(name);
        EXPECT_EQ(name.find(L"Trapkey"), std::wstring::npos) << Narrow(name);
        EXPECT_EQ(name.find(L"Sim"), std::wstring::npos) << Narrow(name);
    }
    bool runEntry = false;
    for (const Row& row : shipped.Rows(L"Registry")) {
        runEntry = runEntry || (row.at(2) == L"Software\\Microsoft\\Windows\\CurrentVersion\\Run" &&
                                row.at(4) == L"\"[INSTALLDIR]vqhkcore.exe\"");
    }
    EXPECT_TRUE(runEntry) << Describe(shipped.Rows(L"Registry"));
    EXPECT_EQ(shipped.Summary(7), L"Intel;1033") << "the shipped package is a 32-bit one";
    EXPECT_EQ(tested.Summary(7), L"x64;1033");
}

TEST(PackageTablesTest, BuiltTwiceFromOneTreeOnlyThePackageCodeAndTheTimesDiffer) {
    const packagefiles::Arch arch = packagefiles::OwnArch();
    const Database first(packagefiles::Package(arch));
    const Database again(packagefiles::AgainPackage(arch));
    ASSERT_TRUE(first.Opened());
    ASSERT_TRUE(again.Opened());
    ASSERT_GE(first.TableNames().size(), 10u);
    for (const std::wstring& table : first.TableNames()) {
        SCOPED_TRACE(Narrow(table));
        EXPECT_EQ(first.Rows(table), again.Rows(table));
    }
    // Summary information: 9 the package code, 11/12/13 the times; everything else is equal.
    const std::set<UINT> mayDiffer = {9, 11, 12, 13};
    for (UINT property = 1; property <= 19; ++property) {
        if (mayDiffer.count(property)) continue;
        EXPECT_EQ(first.Summary(property), again.Summary(property)) << "summary property " << property;
    }
    EXPECT_NE(first.Summary(9), again.Summary(9)) << "each package has a code of its own";
}

}  // namespace
