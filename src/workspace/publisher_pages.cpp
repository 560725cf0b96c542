// The Online menus' pages of the publisher's site.
#include "workspace/publisher_pages.h"

#include "workspace/error_steps.h"
#include "workspace/module_services.h"

namespace pb {

const std::vector<OnlineItem>& onlineItems(OnlineMenu menu) {
    // The frame and the phone book window differ only in two names of the news items.
    static const std::vector<OnlineItem> frame = {
        {"mnuProduct", "Product &Page", "prod04.htm", false, false},
        {"mnuHome", "Publisher &Home", "", false, false},
        {"mnuCatalog", "Publisher &Catalog", "catalog.htm", false, false},
        {"mnuStore", "Publisher &Store", "store.htm", false, false},
        {"mnuFeed", "Publisher S&upport/Feedback", "Feedback.htm", false, false},
        {"mnuFree", "&Free Downloads", "Free_Downloads.htm", false, true},
        {"mnuTech", "Technology", "tech_news.htm", true, false},
        {"mnuEntertain", "Entertainment", "entertainment_news.htm", true, false},
        {"mnuBusiness", "Business", "business_news.htm", true, false},
        {"mnuSports", "Sports", "sports_news.htm", true, false},
        {"mnuWorld", "World", "world_news.htm", true, false}};
    static const std::vector<OnlineItem> phoneBook = [] {
        std::vector<OnlineItem> items = frame;
        items[9].name = "mnuSport";
        items[10].name = "mnWorld";
        return items;
    }();
    static const std::vector<OnlineItem> editor = {
        {"mnuProduct", "Product &Page", "prod04.htm", false, false},
        {"mnuHome", "Publisher &Home", "", false, false},
        {"mnuCatalog", "Publisher &Catalog", "catalog.htm", false, false},
        {"mnuStore", "Publisher &Store", "store.htm", false, false},
        {"mnuFeedback", "Support/&Feedback", "Feedback.htm", false, false},
        {"mnuNews", "Today's &News", "q7p_news.htm", false, true}};
    static const std::vector<OnlineItem> surfer = {
        {"mnuProduct", "Product &Page", "prod04.htm", false, false},
        {"mnuPublisher", "Publisher &Home", "", false, false},
        {"mnuCatalog", "Publisher &Catalog", "catalog.htm", false, false},
        {"mnuStore", "Publisher &Store", "store.htm", false, false},
        {"mnuFeedback", "Support/&Feedback", "Feedback.htm", false, false},
        {"mnuFree", "&Free Downloads Page", "Free_Downloads.htm", false, true},
        {"mnuTech", "Technology News (Computer, Internet, ...)", "tech_news.htm", true, false},
        {"mnuEntertain", "Entertainment News (Movies, Games, ...)", "entertainment_news.htm", true, false},
        {"mnuBus", "Business News (Stock Market)", "business_news.htm", true, false},
        {"mnuSports", "Sports News (Golf, Tennis, ...)", "sports_news.htm", true, false},
        {"mnuWorld", "World News (Politics, World Events, ...)", "world_news.htm", true, false}};
    switch (menu) {
    case OnlineMenu::Frame:
        return frame;
    case OnlineMenu::PhoneBook:
        return phoneBook;
    case OnlineMenu::Editor:
    case OnlineMenu::MediaPlayer:
        return editor;
    case OnlineMenu::Surfer:
        break;
    }
    return surfer;
}

const char* newsCaption(OnlineMenu menu) {
    return menu == OnlineMenu::Surfer ? "Today's &News" : "&Daily News";
}

void ShowPublisherPage(const QString& Page) {
    Steps(OnError::Ignore)([&] { ShowSurferAt(kPublisherBase + Page); });
}

} // namespace pb
