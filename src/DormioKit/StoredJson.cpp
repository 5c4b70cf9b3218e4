#include "DormioKit/StoredJson.h"

#include <utility>
#include <vector>

namespace dormio::StoredJson {

namespace {

// Builds the tree of one element of the document's array at a time, exactly as the whole document's parse
// would build it (a repeated member's last value stands), and hands it on when it is complete.
class ElementReader : public nlohmann::json_sax<Json> {
public:
    explicit ElementReader(const std::function<void(const Json&)>& read) : read_(read) {}

    bool null() override { return add(nullptr); }
    bool boolean(bool value) override { return add(value); }
    bool number_integer(number_integer_t value) override { return add(value); }
    bool number_unsigned(number_unsigned_t value) override { return add(value); }
    bool number_float(number_float_t value, const string_t&) override { return add(value); }
    bool string(string_t& value) override { return add(std::move(value)); }
    bool binary(binary_t& value) override { return add(std::move(value)); }

    bool start_object(std::size_t) override { return open(Json::object()); }
    bool start_array(std::size_t) override {
        if (!inArray_) return inArray_ = true; // the document's own array
        return open(Json::array());
    }
    bool key(string_t& name) override {
        key_ = std::move(name);
        return true;
    }
    bool end_object() override { return close(); }
    bool end_array() override { return open_.empty() || close(); }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

private:
    // A value before the array opened is the document itself, which is then no array.
    template <typename Value> bool add(Value&& value) {
        if (!inArray_) return false;
        place(Json(std::forward<Value>(value)));
        if (open_.empty()) read_(element_);
        return true;
    }

    Json& place(Json value) {
        if (open_.empty()) return element_ = std::move(value);
        Json& container = *open_.back();
        if (container.is_array()) {
            container.push_back(std::move(value));
            return container.back();
        }
        return container[key_] = std::move(value);
    }

    bool open(Json container) {
        if (!inArray_) return false;
        open_.push_back(&place(std::move(container)));
        return true;
    }

    bool close() {
        open_.pop_back();
        if (open_.empty()) read_(element_);
        return true;
    }

    const std::function<void(const Json&)>& read_;
    bool inArray_ = false;
    std::vector<Json*> open_; // the element's containers still open, innermost last
    Json element_;
    std::string key_;
};

} // namespace

bool readElements(std::string_view text, const std::function<void(const Json&)>& read) {
    ElementReader reader(read);
    return Json::sax_parse(text, &reader);
}

} // namespace dormio::StoredJson
