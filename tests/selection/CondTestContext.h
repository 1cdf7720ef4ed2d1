#pragma once
// A condition context made of plain maps: control values with enabled flags, the first list
// box's line and tables given as lines. The rule tests build the situation they need in it.
#include "selection/CondRules.h"

#include "zhost/core/utf.h"

#include <map>
#include <string>
#include <vector>

namespace condtest {

class MapContext : public CCondContext {
public:
    struct Control {
        std::wstring value;
        bool enabled = true;
    };

    MapContext& Set(const std::wstring& name, const std::wstring& value, bool enabled = true) {
        m_controls[Key(name)] = {value, enabled};
        return *this;
    }
    MapContext& Table(const std::wstring& name, std::vector<std::wstring> lines) {
        m_tables[Key(name)] = std::move(lines);
        return *this;
    }
    MapContext& FirstList(const std::wstring& line) {
        m_firstList = line;
        return *this;
    }

    bool GetControlValue(const std::wstring& name, std::wstring& value,
                         bool& enabled) const override {
        const auto it = m_controls.find(Key(name));
        if (it == m_controls.end())
            return false;
        value = it->second.value;
        enabled = it->second.enabled;
        return true;
    }
    std::wstring GetFirstListLine() const override { return m_firstList; }
    bool ReadTable(const std::wstring& name, std::vector<std::wstring>& lines) const override {
        ++m_tableReads;
        const auto it = m_tables.find(Key(name));
        if (it == m_tables.end())
            return false;
        lines = it->second;
        return true;
    }

    mutable int m_tableReads = 0;

private:
    static std::string Key(const std::wstring& name) {
        std::string k = zhost::toUtf8(name);
        for (char& c : k)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return k;
    }

    std::map<std::string, Control> m_controls;
    std::map<std::string, std::vector<std::wstring>> m_tables;
    std::wstring m_firstList;
};

} // namespace condtest
