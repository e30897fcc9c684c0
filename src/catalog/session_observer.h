// What a view of the run's state listens to: the core tells it when the
// current Catalog, the media list, the categories or the hit list changed,
// and when a long operation starts and ends. The calls come from the code
// that makes the change, so the interface lives in the catalogue layer, the
// lowest layer that owns one of these (hits_changed is called by the
// search layer, which owns the hit list). A call carries no data: the view
// reads the new state from the context. An observer may ignore any event,
// so every method has an empty body.
#pragma once

namespace orbisto {

class SessionObserver {
  public:
    virtual ~SessionObserver() = default;

    // The current Catalog is another one now: loaded from its file, emptied
    // (a failed load, a deleted medium, a new media list) or filled by a scan.
    virtual void catalog_replaced() {}
    // The current Catalog was edited in place or saved under a new number.
    virtual void catalog_changed() {}
    // Entries of the media list were added, removed or had their headers
    // (name, category, lent flag) rewritten.
    virtual void media_changed() {}
    // The category table was edited (created, renamed, moved, deleted).
    virtual void categories_changed() {}
    // The search's hit list was emptied or refilled.
    virtual void hits_changed() {}
    // A long operation (scan, update, search, bulk packing) began or ended;
    // the view blocks and unblocks its input.
    virtual void long_operation_started() {}
    virtual void long_operation_ended() {}
};

}  // namespace orbisto
