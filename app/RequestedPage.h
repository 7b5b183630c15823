// The menu pages a game screen can ask for when it hands over to the menu.
#pragma once

enum RequestedPage : int {
    PageMain = 0,
    PagePause = 3,
    PageRoundOver = 5,
    PageCourseOver = 9,
    PageTutorialComplete = 12,
};
