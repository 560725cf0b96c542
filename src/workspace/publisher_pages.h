#pragma once

#include <QString>
#include <vector>

namespace pb {

// The publisher's site: every page of it is this base followed by a page path.
inline const QString kPublisherBase = QStringLiteral("http://www.brenmoor.example/");
inline QString publisherHome() {
    return kPublisherBase;
}
inline QString publisherSearch() {
    return kPublisherBase + QStringLiteral("search.htm");
}

// The windows with an Online menu, each with its own set of items.
enum class OnlineMenu { Frame, PhoneBook, Editor, MediaPlayer, Surfer };

// One item of an Online menu: the page it opens, and where it sits.
struct OnlineItem {
    const char* name;
    const char* caption;
    const char* page; // "" is the site's home page
    bool inNews;      // in the menu's news submenu
    bool lineBefore;  // a separator above it
};
const std::vector<OnlineItem>& onlineItems(OnlineMenu menu);
// The caption and name of a menu's news submenu.
const char* newsCaption(OnlineMenu menu);

// Brings up the web surfer (with its sound) at a page of the publisher's site;
// nothing is told when that fails.
void ShowPublisherPage(const QString& Page);

} // namespace pb
