#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace obturix {

// A value that is empty, a text, a number or a list of texts: what the
// exposure cycle takes and what the settings store hands in and out.
class Variant {
public:
  using List = std::vector<std::string>;

  Variant() = default;
  Variant(std::string text) : value_(std::move(text)) {}
  Variant(const char* text) : value_(std::string(text)) {}
  Variant(double number) : value_(number) {}
  Variant(int number) : value_(static_cast<double>(number)) {}
  Variant(List list) : value_(std::move(list)) {}

  bool isEmpty() const { return std::holds_alternative<std::monostate>(value_); }
  bool isText() const { return std::holds_alternative<std::string>(value_); }
  bool isNumber() const { return std::holds_alternative<double>(value_); }
  bool isList() const { return std::holds_alternative<List>(value_); }

  const std::string* text() const { return std::get_if<std::string>(&value_); }
  const double* number() const { return std::get_if<double>(&value_); }
  const List* list() const { return std::get_if<List>(&value_); }

  friend bool operator==(const Variant&, const Variant&) = default;

private:
  std::variant<std::monostate, std::string, double, List> value_;
};

// The value as text: empty gives "", a number its shortest exact decimal
// form ("6", "0.08"), a list nothing.
std::optional<std::string> variantToText(const Variant& value);

} // namespace obturix
