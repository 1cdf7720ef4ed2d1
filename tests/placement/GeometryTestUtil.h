#pragma once
// Drawings, parametric symbols and a product folder for the tests of the part geometry
// services (symbol insertion, parameters, layer categories, static part blocks).
#include "../hide/HideTestUtil.h"

#include "zhost/core/utf.h"
#include "zhost/db/parametric.h"
#include "zhost/settings/product.h"

#include <cmath>
#include <list>
#include <string>

namespace geomtest {

using namespace hidetest;
namespace param = zhost::db::param;

class PartGeometryTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        m_product = m_folder.MakeFolder("product");
        m_folder.MakeFolder("product/config");
        zhost::settings::setProductFolder(m_product);
    }
    void TearDown() override {
        zhost::settings::setProductFolder({});
        DrawingTest::TearDown();
    }

    // A file of the product's configuration folder.
    void WriteConfig(const char* name, const std::string& text) {
        m_folder.Write(std::filesystem::path("product/config") / name, text);
    }
    // The linetypes the category defaults name, as the sample product's "default.lin" has them.
    void WriteDefaultLin() {
        WriteConfig("default.lin", "*Center,Center ____ _ ____\nA,12,-2,2,-2\n"
                                   "*Dashed,Dashed __ __ __\nA,3,-1.5\n"
                                   "*Phantom,Phantom ____ __ __\nA,12,-2,2,-2,2,-2\n");
    }

    // A parametric block: parameters (name, expression) in order.
    db::ObjectId ParamBlock(const wchar_t* name,
                            std::vector<std::pair<std::wstring, std::wstring>> params) {
        const db::ObjectId block = Block(name);
        for (const auto& [n, e] : params)
            EXPECT_OK(param::setParameter(block, n, e));
        return block;
    }
    void Bind(db::ObjectId entity, const wchar_t* property, const wchar_t* expression,
              std::vector<std::wstring> choices = {}) {
        EXPECT_OK(param::setBinding(entity, {property, expression, std::move(choices)}));
    }
    // The current value of a parameter of a reference (NaN when it cannot be read).
    double Value(db::ObjectId ref, const wchar_t* name) {
        double v = 0;
        return zhost::ok(param::parameterValue(ref, name, v)) ? v : std::nan("");
    }
    std::wstring Expression(db::ObjectId ref, const wchar_t* name) {
        std::vector<param::ParameterInfo> infos;
        param::parameters(ref, infos);
        for (const auto& p : infos)
            if (zhost::equalsNoCase(p.name, name))
                return p.expression;
        return L"?";
    }
    // The layer of every entity of a block, in entity order.
    std::vector<std::wstring> Layers(db::ObjectId block) {
        std::vector<std::wstring> out;
        for (db::ObjectId id : Entities(block))
            out.push_back(LayerOf(id));
        return out;
    }
    bool HasLayer(const wchar_t* name) {
        db::ObjectId id;
        return zhost::ok(Db().getLayerId(name, id));
    }
    bool HasBlock(const wchar_t* name) {
        db::ObjectId id;
        return zhost::ok(Db().getBlockId(name, id));
    }

    std::filesystem::path m_product;
};

} // namespace geomtest
