#pragma once

class IntItem;

// A page tab's selection item and current page as pages come and go. The item covers
// 0..page count: each page raises its maximum by one.
namespace PageSelection
{
void OnPageAdded(IntItem& selection);

// Page removed went from a tab that had pageCount pages. Returns the new current page: an
// earlier page moves the current one down a place; the current page itself gives way to the
// page that takes its place, or to the one before it when it was the last; -1 when no page
// is left. The item's maximum drops by one and its value follows the current page (quietly:
// the tab redraws and shows the page itself).
int OnPageRemoved(IntItem& selection, int current, int removed, int pageCount);
}
