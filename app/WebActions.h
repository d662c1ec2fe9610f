// The web pages that buttons, the main menu and the item actions open. The base addresses
// of the maker's site and of the web search are configuration ([Site] Maker= and Search=
// of "Tarnock.ini" beside the program); the paths and queries after them are fixed.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tarnock::web {

// The configured base address without trailing slashes; empty when not configured.
std::string SiteSetting(const char* name);

// Empty when the site they belong to is not configured. Names go into the query
// form-encoded (UrlEncode), so every byte of them reaches the site as it is.
std::string HomepageAddress();
std::string RankPageAddress();
std::string OpinionAddress(const std::string& name);
std::string SearchAddress(const std::string& name);

// An address as the shell may receive it: bytes that a URL cannot hold as they are
// (blanks, quotes, controls, bytes above 127, ...) are percent-encoded, so nothing in the
// text can reach the command line of the program that opens it.
std::string SafeAddress(std::string_view text);

// "scheme://host[:port]" of an http or https address, lower-cased; "" for any other text
// and for an address with user information ("http://maker@elsewhere/").
std::string AddressOrigin(std::string_view address);
// Whether the embedded browser may show `address`: a page of the configured maker's site
// (same scheme, host and port). False when no maker's site is configured.
bool IsMakerSiteAddress(std::string_view address);

// Opens an http or https address in the user's default browser, through the desktop shell
// as the user (a failure is not reported); any other address is not opened. An empty
// address tells the user that the site is not configured.
void OpenAddress(const std::string& address);
// The homepage text of a row: only texts starting with "http:" are opened.
void OpenHomepageText(const std::string& text);
// The users' opinions about `name` in the browser dialog, modal and owned by `owner`; in
// the default browser when the system cannot show pages in the dialog. The dialog shows
// only pages of the maker's site; other addresses open in the default browser.
void ShowOpinionPage(HWND owner, const std::string& name);

}  // namespace tarnock::web
