// Both catalogue readers over arbitrary bytes: the text catalogue's list (text-mode lines of the
// host's code page or a marked encoding) and the picture catalogue's tree (its own line rules),
// then every node's fields as a dialog reads them.
#include "library/CatalogueList.h"
#include "library/CsvItem.h"
#include "library/LibraryText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    std::vector<CatalogueGroup> groups;
    ReadCatalogueListText(groups, DecodeLibraryText(bytes), L"", false);
    for (const CatalogueGroup& g : groups)
        for (const CatalogueItem& item : g.m_items)
            if (item.m_lineNumber <= 0 || item.m_fileBaseName.empty())
                __builtin_trap();

    CCsvItem root;
    const int top = BuildCatalogueTree(ReadCatalogueTreeLines(bytes), &root, nullptr);
    if (top != static_cast<int>(root.m_children.size()))
        __builtin_trap();
    std::vector<const CCsvItem*> stack{&root};
    while (!stack.empty()) {
        const CCsvItem* node = stack.back();
        stack.pop_back();
        if (node->GetThumbNumber() != 1)
            __builtin_trap(); // no descriptions: every node has the default
        for (const auto& child : node->m_children) {
            if (child->m_pParent != node)
                __builtin_trap();
            stack.push_back(child.get());
        }
    }
    return 0;
}
