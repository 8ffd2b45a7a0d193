// DialogSlot: the one dialog of a kind that a window keeps. Opening the next
// dialog of the kind deletes the last one first; the slot owns it until then
// (or until Reset), so that the opener can read it after its window has gone.
#pragma once

#include <memory>
#include <utility>

namespace MyApp {

template <class Dialog>
class DialogSlot {
public:
    // Deletes the dialog held, then makes the new one from `arguments`.
    template <class... Arguments>
    Dialog* Open(Arguments&&... arguments) {
        dialog_.reset();
        dialog_ = std::make_unique<Dialog>(std::forward<Arguments>(arguments)...);
        return dialog_.get();
    }
    void Reset() { dialog_.reset(); }

    Dialog* get() const { return dialog_.get(); }
    operator Dialog*() const { return dialog_.get(); }
    Dialog* operator->() const { return dialog_.get(); }

private:
    std::unique_ptr<Dialog> dialog_;
};

}  // namespace MyApp
