#include "platform/linux/X11Pasteboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/linux/SelectionText.h"
#include "platform/linux/X11EventThread.h"
#include "platform/linux/X11SelectionOwner.h"

namespace quorix::platform {
namespace {

constexpr auto kTransferLimit = std::chrono::seconds(10);

}  // namespace

// One read of the selection by a caller on another thread.
struct X11Pasteboard::CoreRead {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    std::optional<std::string> result;
    Atom target = None;
    // Raw: the bytes as the owner gives them (format 8, or the atoms of
    // TARGETS), no STRING fallback and no Latin-1 decoding.
    bool raw = false;
    std::size_t limit = SIZE_MAX;
    bool overflow = false;  // the owner offered more than limit
    bool incremental = false;
    std::string buffer;
    void finish(std::optional<std::string> text) {
        std::lock_guard lock(mutex);
        if (done) {
            return;
        }
        result = std::move(text);
        done = true;
        cv.notify_all();
    }
};

struct X11Pasteboard::Core {
    explicit Core(Options o) : options(std::move(o)) {}

    using Read = X11Pasteboard::CoreRead;

    // An outgoing INCR transfer to one requestor property.
    struct Transfer {
        std::string data;
        std::size_t offset = 0;
        Atom type = None;
        std::chrono::steady_clock::time_point started;
    };

    Options options;
    X11EventThread thread;
    std::atomic<int64_t> changeCount{0};
    std::atomic<int64_t> textReads{0};  // text served while owning
    std::mutex readersMutex;

    // Event-thread state.
    int fixesEventBase = 0;
    Window window = 0;
    Atom clipboard = 0, targets = 0, utf8 = 0, textPlain = 0, text = 0, incr = 0, property = 0,
         atomType = 0, manager = 0, saveTargets = 0;
    bool owns = false;
    std::optional<std::string> ownedText;
    // Typed items put back by setContents: by target, the bytes served for it.
    std::map<Atom, std::string> ownedItems;
    std::vector<Atom> ownedTargets;  // ownedItems' targets in the order given
    std::vector<PasteboardItem> ownedList;
    std::shared_ptr<Read> current;
    std::shared_ptr<Read> handOver;  // waiting for the clipboard manager's answer
    std::map<std::pair<Window, Atom>, Transfer> transfers;

    bool setup(Display* d) {
        int errorBase = 0;
        if (!XFixesQueryExtension(d, &fixesEventBase, &errorBase)) {
            return false;
        }
        const Window root = DefaultRootWindow(d);
        window = XCreateSimpleWindow(d, root, -10, -10, 1, 1, 0, 0, 0);
        XSelectInput(d, window, PropertyChangeMask);
        clipboard = XInternAtom(d, "CLIPBOARD", False);
        targets = XInternAtom(d, "TARGETS", False);
        utf8 = XInternAtom(d, "UTF8_STRING", False);
        textPlain = XInternAtom(d, "text/plain;charset=utf-8", False);
        text = XInternAtom(d, "TEXT", False);
        incr = XInternAtom(d, "INCR", False);
        property = XInternAtom(d, "QUORIX_SELECTION", False);
        manager = XInternAtom(d, "CLIPBOARD_MANAGER", False);
        saveTargets = XInternAtom(d, "SAVE_TARGETS", False);
        atomType = XA_ATOM;
        XFixesSelectSelectionInput(d, window, clipboard,
                                   XFixesSetSelectionOwnerNotifyMask |
                                       XFixesSelectionWindowDestroyNotifyMask |
                                       XFixesSelectionClientCloseNotifyMask);
        XSync(d, False);
        return true;
    }

    void teardown(Display* d) {
        if (current) {
            current->finish(std::nullopt);
        }
        current.reset();
        if (handOver) {
            handOver->finish(std::nullopt);
        }
        handOver.reset();
        XDestroyWindow(d, window);
    }

    bool ownsNothing() const { return !ownedText && ownedItems.empty(); }

    // Targets that name no representation of the contents, and TEXT, whose
    // encoding the owner picks (the text is offered as UTF8_STRING too).
    static bool isMetaTarget(const std::string& name) {
        static const char* const kMeta[] = {"TARGETS",         "MULTIPLE", "TIMESTAMP",
                                            "SAVE_TARGETS",    "DELETE",   "INSERT_SELECTION",
                                            "INSERT_PROPERTY", "TEXT"};
        for (const char* meta : kMeta) {
            if (name == meta) {
                return true;
            }
        }
        return false;
    }

    bool takeOwnership(Display* d, std::optional<std::string> textToOwn,
                       std::vector<PasteboardItem> list = {}) {
        ownedText = std::move(textToOwn);
        ownedItems.clear();
        ownedTargets.clear();
        for (const auto& item : list) {
            const Atom target = XInternAtom(d, item.type.c_str(), False);
            if (ownedItems.emplace(target, item.data).second) {
                ownedTargets.push_back(target);
            }
            if (!ownedText && (target == utf8 || target == textPlain)) {
                ownedText = item.data;
            }
        }
        if (!ownedText) {
            if (const auto it = ownedItems.find(XA_STRING); it != ownedItems.end()) {
                ownedText = latin1ToUtf8(it->second);
            }
        }
        ownedList = std::move(list);
        XSetSelectionOwner(d, clipboard, window, CurrentTime);
        owns = XGetSelectionOwner(d, clipboard) == window;
        changeCount.fetch_add(1);
        return owns;
    }

    void beginRead(Display* d, const std::shared_ptr<Read>& read, Atom target) {
        if (owns) {
            read->finish(ownedText);
            return;
        }
        if (current) {
            current->finish(std::nullopt);
        }
        current = read;
        read->target = target;
        XDeleteProperty(d, window, property);
        XConvertSelection(d, clipboard, target, property, window, CurrentTime);
    }

    // Reads and deletes our property; false when it holds nothing readable.
    // Format 8 gives its bytes; format 32 (atoms) its items as longs.
    bool takeProperty(Display* d, Atom& type, std::string& data) {
        Atom actualType = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* bytes = nullptr;
        if (XGetWindowProperty(d, window, property, 0, 0x1FFFFFFF, True, AnyPropertyType,
                               &actualType, &format, &items, &after, &bytes) != Success) {
            return false;
        }
        type = actualType;
        if (bytes != nullptr) {
            if (format == 8) {
                data.assign(reinterpret_cast<const char*>(bytes), items);
            } else if (format == 32) {
                data.assign(reinterpret_cast<const char*>(bytes), items * sizeof(long));
            }
            XFree(bytes);
        }
        return actualType != None;
    }

    std::string decoded(const Read& read, Atom type, std::string data) const {
        return type == XA_STRING && !read.raw ? latin1ToUtf8(data) : data;
    }

    // Asks a running clipboard manager to keep the text we own (all its
    // targets); `wait` finishes when it answers, at once when there is
    // nothing to hand over or no manager.
    void beginHandOver(Display* d, const std::shared_ptr<Read>& wait) {
        if (!owns || ownsNothing() || XGetSelectionOwner(d, manager) == None) {
            wait->finish(std::nullopt);
            return;
        }
        if (handOver) {
            handOver->finish(std::nullopt);
        }
        handOver = wait;
        XConvertSelection(d, manager, saveTargets, None, window, CurrentTime);
    }

    void onSelectionNotify(Display* d, const XSelectionEvent& e) {
        if (e.requestor == window && e.selection == manager) {
            if (handOver) {
                handOver->finish(ownedText);
            }
            handOver.reset();
            return;
        }
        if (!current || e.requestor != window || e.selection != clipboard) {
            return;
        }
        if (e.property == None) {
            if (current->target == utf8 && !current->raw) {
                auto read = current;
                current.reset();
                beginRead(d, read, XA_STRING);
            } else {
                current->finish(std::nullopt);
                current.reset();
            }
            return;
        }
        Atom type = None;
        std::string data;
        if (!takeProperty(d, type, data)) {
            current->finish(std::nullopt);
            current.reset();
            return;
        }
        if (type == incr) {
            // Deleting the property (done above) asks for the first chunk.
            current->incremental = true;
            current->buffer.clear();
            return;
        }
        if (data.size() > current->limit) {
            current->overflow = true;
            data.clear();
        }
        current->finish(decoded(*current, type, std::move(data)));
        current.reset();
    }

    void onIncomingChunk(Display* d) {
        Atom type = None;
        std::string data;
        if (!takeProperty(d, type, data)) {
            return;
        }
        if (data.empty()) {
            current->finish(decoded(*current, type, std::move(current->buffer)));
            current.reset();
            return;
        }
        if (current->buffer.size() + data.size() > current->limit) {
            // The owner's transfer is left to time out.
            current->overflow = true;
            current->finish(std::nullopt);
            current.reset();
            return;
        }
        current->buffer += data;
    }

    void reply(Display* d, const XSelectionRequestEvent& request, Atom replyProperty) {
        XEvent notify{};
        notify.xselection.type = SelectionNotify;
        notify.xselection.requestor = request.requestor;
        notify.xselection.selection = request.selection;
        notify.xselection.target = request.target;
        notify.xselection.property = replyProperty;
        notify.xselection.time = request.time;
        XSendEvent(d, request.requestor, False, NoEventMask, &notify);
    }

    void onSelectionRequest(Display* d, const XSelectionRequestEvent& request) {
        // Obsolete clients name no property: use the target as the property.
        const Atom prop = request.property != None ? request.property : request.target;
        if (request.selection != clipboard || !owns) {
            reply(d, request, None);
            return;
        }
        if (request.target == targets) {
            std::vector<Atom> list{targets};
            list.insert(list.end(), ownedTargets.begin(), ownedTargets.end());
            if (ownedText) {
                for (const Atom a : {utf8, textPlain, Atom(XA_STRING), text}) {
                    if (!ownedItems.contains(a)) {
                        list.push_back(a);
                    }
                }
            }
            XChangeProperty(d, request.requestor, prop, atomType, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(list.data()),
                            static_cast<int>(list.size()));
            reply(d, request, prop);
            return;
        }
        const bool wantsUtf8 =
            request.target == utf8 || request.target == textPlain || request.target == text;
        const bool wantsText = wantsUtf8 || request.target == XA_STRING;
        if (const auto it = ownedItems.find(request.target); it != ownedItems.end()) {
            textReads.fetch_add(wantsText ? 1 : 0);
            sendData(d, request, prop, request.target == text ? utf8 : request.target, it->second);
            return;
        }
        if (!ownedText || (!wantsUtf8 && request.target != XA_STRING)) {
            reply(d, request, None);
            return;
        }
        textReads.fetch_add(1);
        const Atom type = request.target == text ? utf8 : request.target;
        sendData(d, request, prop, type, wantsUtf8 ? *ownedText : utf8ToLatin1(*ownedText));
    }

    // Answers with data of the given type: at once, or in INCR chunks when
    // larger than chunkBytes.
    void sendData(Display* d, const XSelectionRequestEvent& request, Atom prop, Atom type,
                  std::string data) {
        if (data.size() > options.chunkBytes) {
            const long size = static_cast<long>(data.size());
            XSelectInput(d, request.requestor, PropertyChangeMask);
            XChangeProperty(d, request.requestor, prop, incr, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&size), 1);
            transfers[{request.requestor, prop}] =
                Transfer{std::move(data), 0, type, std::chrono::steady_clock::now()};
        } else {
            XChangeProperty(d, request.requestor, prop, type, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(data.data()),
                            static_cast<int>(data.size()));
        }
        reply(d, request, prop);
    }

    void onPropertyDeleted(Display* d, const XPropertyEvent& e) {
        auto it = transfers.find({e.window, e.atom});
        if (it == transfers.end()) {
            return;
        }
        Transfer& t = it->second;
        const std::size_t n = std::min(options.chunkBytes, t.data.size() - t.offset);
        XChangeProperty(d, e.window, e.atom, t.type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(t.data.data() + t.offset),
                        static_cast<int>(n));
        t.offset += n;
        // The zero-length chunk just written ends the transfer.
        if (n == 0) {
            transfers.erase(it);
        }
    }

    void onEvent(Display* d, XEvent& e) {
        if (e.type == fixesEventBase + XFixesSelectionNotify) {
            const auto& n = reinterpret_cast<const XFixesSelectionNotifyEvent&>(e);
            if (n.selection == clipboard && n.owner != window) {
                owns = false;
                changeCount.fetch_add(1);
            }
            return;
        }
        switch (e.type) {
            case SelectionNotify:
                onSelectionNotify(d, e.xselection);
                break;
            case SelectionRequest:
                onSelectionRequest(d, e.xselectionrequest);
                break;
            case SelectionClear:
                if (e.xselectionclear.selection == clipboard) {
                    owns = false;
                    ownedText.reset();
                    ownedItems.clear();
                    ownedTargets.clear();
                    ownedList.clear();
                }
                break;
            case PropertyNotify:
                if (e.xproperty.window == window && e.xproperty.atom == property &&
                    e.xproperty.state == PropertyNewValue && current && current->incremental) {
                    onIncomingChunk(d);
                } else if (e.xproperty.state == PropertyDelete) {
                    onPropertyDeleted(d, e.xproperty);
                }
                break;
            default:
                break;
        }
    }

    void onTick(Display*) {
        const auto now = std::chrono::steady_clock::now();
        for (auto it = transfers.begin(); it != transfers.end();) {
            if (now - it->second.started > kTransferLimit) {
                it = transfers.erase(it);
            } else {
                ++it;
            }
        }
    }
};

X11Pasteboard::X11Pasteboard() : X11Pasteboard(Options{}) {}

X11Pasteboard::X11Pasteboard(Options options) : core_(std::make_unique<Core>(std::move(options))) {}

X11Pasteboard::~X11Pasteboard() {
    handOverToClipboardManager(core_->options.handOverLimit);
    core_->thread.stop();
}

void X11Pasteboard::handOverToClipboardManager(std::chrono::milliseconds limit) {
    if (!isOpen()) {
        return;
    }
    Core* core = core_.get();
    auto wait = std::make_shared<Core::Read>();
    core->thread.post([core, wait](Display* d) { core->beginHandOver(d, wait); });
    std::unique_lock lock(wait->mutex);
    wait->cv.wait_for(lock, limit, [&] { return wait->done; });
}

bool X11Pasteboard::open() {
    if (core_->thread.isRunning()) {
        return true;
    }
    Core* core = core_.get();
    X11EventThread::Callbacks callbacks;
    callbacks.setup = [core](Display* d) { return core->setup(d); };
    callbacks.event = [core](Display* d, XEvent& e) { core->onEvent(d, e); };
    callbacks.tick = [core](Display* d) { core->onTick(d); };
    callbacks.teardown = [core](Display* d) { core->teardown(d); };
    core_->thread.setTickInterval(std::chrono::milliseconds(1000));
    return core_->thread.start(core_->options.displayName, std::move(callbacks));
}

bool X11Pasteboard::isOpen() const {
    return core_->thread.isRunning();
}

int64_t X11Pasteboard::changeCount() const {
    return core_->changeCount.load();
}

std::optional<std::string> X11Pasteboard::string() const {
    if (!isOpen()) {
        return std::nullopt;
    }
    return convert(core_->utf8, false, SIZE_MAX, core_->options.replyLimit, nullptr);
}

std::optional<int64_t> X11Pasteboard::ownTextReads() const {
    if (!isOpen()) {
        return std::nullopt;
    }
    return core_->textReads.load();
}

std::optional<bool> X11Pasteboard::isOwnedBy(int32_t pid) const {
    if (!isOpen()) {
        return std::nullopt;
    }
    Core* core = core_.get();
    // Shared: a task that misses the wait may still run later.
    auto owned = std::make_shared<std::atomic<int>>(-1);
    core->thread.runAndWait(
        [core, pid, owned](Display* d) {
            owned->store(X11SelectionOwner::isOwnedByPid(d, core->clipboard, pid) ? 1 : 0);
        },
        core->options.replyLimit);
    const int answer = owned->load();
    return answer < 0 ? std::nullopt : std::optional<bool>(answer == 1);
}

std::optional<std::string> X11Pasteboard::convert(unsigned long target, bool raw, std::size_t limit,
                                                  std::chrono::milliseconds wait,
                                                  bool* overflow) const {
    Core* core = core_.get();
    std::lock_guard readers(core->readersMutex);
    auto read = std::make_shared<CoreRead>();
    read->raw = raw;
    read->limit = limit;
    core->thread.post([core, read, target](Display* d) { core->beginRead(d, read, target); });
    std::unique_lock lock(read->mutex);
    if (!read->cv.wait_for(lock, wait, [&] { return read->done; })) {
        lock.unlock();
        // A late reply must not complete a later read.
        core->thread.post([core, read](Display*) {
            if (core->current == read) {
                core->current.reset();
            }
        });
        return std::nullopt;
    }
    if (overflow != nullptr) {
        *overflow = read->overflow;
    }
    return read->result;
}

PasteboardContents X11Pasteboard::contents(std::size_t byteLimit) const {
    PasteboardContents out;
    if (!isOpen()) {
        return out;
    }
    Core* core = core_.get();
    // While the program owns the selection, its own items answer.
    bool owned = false;
    core->thread.runAndWait(
        [core, &owned, &out](Display*) {
            owned = core->owns;
            if (!owned) {
                return;
            }
            if (!core->ownedList.empty()) {
                out.items = core->ownedList;
            } else if (core->ownedText) {
                out.items.push_back({kPlainTextType, *core->ownedText});
            }
        },
        core->options.replyLimit);
    if (owned) {
        std::size_t total = 0;
        for (const auto& item : out.items) {
            total += item.data.size();
        }
        return total <= byteLimit ? out : textOnly(string(), byteLimit);
    }

    const auto atoms = convert(core->targets, true, SIZE_MAX, core->options.replyLimit, nullptr);
    if (!atoms) {
        return PasteboardContents::text(string());
    }
    std::vector<Atom> list(atoms->size() / sizeof(long));
    for (std::size_t i = 0; i < list.size(); ++i) {
        long value = 0;
        std::memcpy(&value, atoms->data() + i * sizeof(long), sizeof(long));
        list[i] = static_cast<Atom>(value);
    }
    std::vector<std::pair<Atom, std::string>> offered;
    core->thread.runAndWait(
        [&list, &offered](Display* d) {
            for (const Atom a : list) {
                char* name = a == None ? nullptr : XGetAtomName(d, a);
                if (name == nullptr) {
                    continue;
                }
                const std::string n = name;
                XFree(name);
                if (!Core::isMetaTarget(n)) {
                    offered.emplace_back(a, n);
                }
            }
        },
        core->options.replyLimit);

    const auto deadline = std::chrono::steady_clock::now() + core->options.contentsLimit;
    std::size_t total = 0;
    for (const auto& [atom, name] : offered) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left <= std::chrono::milliseconds::zero()) {
            return textOnly(string(), byteLimit);
        }
        bool overflow = false;
        auto data = convert(atom, true, byteLimit - total, left, &overflow);
        if (overflow) {
            return textOnly(string(), byteLimit);
        }
        if (!data) {
            continue;  // a target its owner cannot deliver after all
        }
        total += data->size();
        out.items.push_back({name, std::move(*data)});
    }
    return out;
}

PasteboardContents X11Pasteboard::textOnly(const std::optional<std::string>& text,
                                           std::size_t byteLimit) {
    PasteboardContents out;
    out.truncated = true;
    if (text && text->size() <= byteLimit) {
        out.items.push_back({kPlainTextType, *text});
    }
    return out;
}

bool X11Pasteboard::setContents(const std::vector<PasteboardItem>& items) {
    Core* core = core_.get();
    bool owned = false;
    const bool ran = core->thread.runAndWait(
        [core, &owned, &items](Display* d) { owned = core->takeOwnership(d, std::nullopt, items); },
        core->options.replyLimit);
    return ran && owned;
}

void X11Pasteboard::clearContents() {
    Core* core = core_.get();
    core->thread.runAndWait([core](Display* d) { core->takeOwnership(d, std::nullopt); },
                            core->options.replyLimit);
}

bool X11Pasteboard::setString(const std::string& text) {
    Core* core = core_.get();
    bool owned = false;
    const bool ran = core->thread.runAndWait(
        [core, &owned, &text](Display* d) { owned = core->takeOwnership(d, text); },
        core->options.replyLimit);
    return ran && owned;
}

}  // namespace quorix::platform
