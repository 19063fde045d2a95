#include "transfer/ContactText.h"

#include <gtest/gtest.h>

namespace brindle {
namespace {

TEST(AddCategory, AddsWhatTheListLacksAndKeepsItsBlanks)
{
    const struct
    {
        const char* added;
        const char* categories;
        const char* result;
    } rows[] = {
        {"", "Customer", "Customer"},
        {"Customer", "", "Customer"},
        {"B, A", "Customer", "Customer, B,  A"},
        {"Customer", "customer", "customer, Customer"},
        {"Customer", " Customer ", " Customer "},
        {"A, A", "X", "X, A,  A"}, // compared with the list as passed in only
        {"C, B, A", "Customer", "Customer, C,  B,  A"},
        {"Vendor", "Friends, Vendor", "Friends, Vendor"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(AddCategory(QString::fromUtf8(row.added), QString::fromUtf8(row.categories)),
                  QString::fromUtf8(row.result))
            << row.added << " + " << row.categories;
    }
}

TEST(FixPhoneCharacters, KeepsOnlyWhatMatters)
{
    const struct
    {
        const char* phone;
        const char* fixed;
    } rows[] = {{"(02) 9555-1234", "0295551234"},
                {"02-9555-1234", "0295551234"},
                {"+61 2 9555 1234", "+61295551234"},
                {"\t02.9555/1234 ", "02.9555/1234"},
                {"", ""}};
    for (const auto& row : rows) {
        EXPECT_EQ(FixPhoneCharacters(QString::fromUtf8(row.phone)), QString::fromUtf8(row.fixed))
            << row.phone;
    }
}

} // namespace
} // namespace brindle
