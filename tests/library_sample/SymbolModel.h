#pragma once
// Evaluates a symbol drawing's parameters, as read by the independent reader, with muParser (the
// expression language of the host's parametric blocks), so the tests check the drawings'
// expressions against the JIS tables without going through the code that wrote them.
#include "SampleTestUtil.h"

#include <muParser.h>

#include <deque>
#include <map>
#include <string>

namespace sample {

class SymbolModel {
public:
    explicit SymbolModel(const DrawingRecords& records) : records_(records) {}

    bool Has(const std::string& name) const {
        for (const auto& [n, e] : records_.params)
            if (n == name)
                return true;
        return false;
    }

    // Evaluates the parameters in declaration order; overrides replace a parameter's expression
    // by a value, as the placement sets them. False with a message on any failure.
    bool Evaluate(const std::map<std::string, double>& overrides, std::string& error) {
        values_.clear();
        storage_.clear();
        mu::Parser parser;
        try {
            for (const auto& [name, expr] : records_.params) {
                storage_.push_back(0);
                auto ov = overrides.find(name);
                if (ov != overrides.end()) {
                    storage_.back() = ov->second;
                } else {
                    parser.SetExpr(expr);
                    storage_.back() = parser.Eval();
                }
                values_[name] = storage_.back();
                parser.DefineVar(name, &storage_.back());
            }
        } catch (mu::Parser::exception_type& e) {
            error = e.GetMsg() + " in " + e.GetExpr();
            return false;
        }
        return true;
    }

    // Evaluates an expression (a binding's) over the last evaluated parameters.
    bool EvaluateExpression(const std::string& expr, double& out, std::string& error) {
        mu::Parser parser;
        try {
            for (auto& [name, value] : values_)
                parser.DefineVar(name, &value);
            parser.SetExpr(expr);
            out = parser.Eval();
        } catch (mu::Parser::exception_type& e) {
            error = e.GetMsg() + " in " + e.GetExpr();
            return false;
        }
        return true;
    }

    double operator[](const std::string& name) const {
        auto it = values_.find(name);
        return it == values_.end() ? -1e300 : it->second;
    }

private:
    const DrawingRecords& records_;
    std::deque<double> storage_; // stable addresses for muParser's variables
    std::map<std::string, double> values_;
};

} // namespace sample
