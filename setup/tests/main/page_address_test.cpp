#include "main/page_address.h"

#include <gtest/gtest.h>

namespace orvelle::setup {
namespace {

TEST(PercentEncode, Bytes) {
  struct Case {
    std::string text, encoded;
  } cases[] = {
      {"", ""},
      {"AZaz09-._~", "AZaz09-._~"},
      {" ", "%20"},
      {"+", "%2B"},
      {"\xC3", "%C3"},
      {"\xC3\xB3", "%C3%B3"},                    // ó
      {"\xF0\x9F\x98\x80", "%F0%9F%98%80"},      // an emoji, four bytes
      {"C:\\Program Files\\X", "C%3A%5CProgram%20Files%5CX"},
      {"1.2.3-beta_4~x", "1.2.3-beta_4~x"},
      {"a&b=c?d#e%", "a%26b%3Dc%3Fd%23e%25"},
      {std::string("\x00\x0A\x7F\xFF", 4), "%00%0A%7F%FF"},
  };
  for (const auto& c : cases) EXPECT_EQ(percent_encode(c.text), c.encoded) << c.text;
}

TEST(PageAddress, CarriesTheFourValuesInOrder) {
  SetupOptions none;
  EXPECT_EQ(page_address(none),
            "https://setup.orvelle.example/setup.html?lang=en&dir=&version=&log=");
  SetupOptions o;
  o.lang = "pl";
  o.dir = "C:\\Program Files\\X";
  o.version = "1.2.3-beta_4~x";
  o.log = "C:\\Temp\\setup log.txt";
  EXPECT_EQ(page_address(o),
            "https://setup.orvelle.example/setup.html?lang=pl&dir=C%3A%5CProgram%20Files%5CX"
            "&version=1.2.3-beta_4~x&log=C%3A%5CTemp%5Csetup%20log.txt");
}

TEST(PageAddress, OnlyThePageItselfIsASource) {
  struct Case {
    const char* source;
    bool page;
  } cases[] = {
      {"https://setup.orvelle.example/setup.html?lang=en&dir=&version=&log=", true},
      // After an in-page navigation on the same host.
      {"https://setup.orvelle.example/setup.html#done", true},
      {"https://setup.orvelle.example/other/page.html?x=1", true},
      {"https://setup.orvelle.example/", true},
      {"https://setup.orvelle.example", false},
      {"http://setup.orvelle.example/setup.html", false},
      {"file://setup.orvelle.example/setup.html", false},
      {"https://setup.orvelle.example.evil/setup.html", false},
      {"https://setup.orvelle.example:8443/setup.html", false},
      {"https://setup.orvelle.example@evil/setup.html", false},
      {"https://user@setup.orvelle.example/setup.html", false},
      {"https://evil/?https://setup.orvelle.example/", false},
      {"https://evil/https://setup.orvelle.example/", false},
      {"https://xsetup.orvelle.example/", false},
      {"https://orvelle.example/", false},
      {" https://setup.orvelle.example/", false},
      {"about:blank", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(is_page_source(c.source), c.page) << c.source;
}

}  // namespace
}  // namespace orvelle::setup
