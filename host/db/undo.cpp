// The undo journal. Entries are appended as changes happen: group brackets, marks, the prior state
// of an object before its first change in an epoch (a new epoch starts at every bracket and mark,
// so that taking back to any of them finds a snapshot), added objects, and variable values.
#include "database_impl.h"

#include "parametric_cache.h"

namespace zhost::db {

void DatabaseImpl::restore(JournalEntry& e) {
    if (e.kind == JournalEntry::variable) {
        logVariable(e.varName);
        vars[e.varName] = e.oldValue;
        return;
    }
    if (e.kind != JournalEntry::object)
        return;
    Slot& s = slots[e.slot];
    if (e.prior || s.obj)
        logObject(e.slot, e.prior ? *e.prior : *s.obj, ChangeLogEntry::restored);
    if (s.obj) {
        auto it = handles.find(s.obj->handle().value());
        if (it != handles.end() && it->second == e.slot)
            handles.erase(it);
    }
    if (e.prior) {
        s.obj = std::move(e.prior);
        handles[s.obj->handle().value()] = e.slot;
    } else {
        s.obj.reset();
        handleSeed = e.oldSeed;
    }
}

namespace {
bool isChange(const JournalEntry& e) {
    return e.kind == JournalEntry::object || e.kind == JournalEntry::variable;
}
} // namespace

bool DatabaseImpl::undoOneStep() {
    while (!journal.empty() && journal.back().kind == JournalEntry::mark)
        journal.pop_back();
    if (journal.empty() || journal.back().kind == JournalEntry::begin)
        return false; // nothing, or the start of a group that is still open
    if (isChange(journal.back())) {
        // The changes of one epoch outside any group: one operation.
        const std::uint64_t ep = journal.back().epoch;
        while (!journal.empty() && isChange(journal.back()) && journal.back().epoch == ep) {
            restore(journal.back());
            journal.pop_back();
        }
        return true;
    }
    // A closed group: back to its matching begin.
    int depth = 0;
    while (!journal.empty()) {
        JournalEntry e = std::move(journal.back());
        journal.pop_back();
        if (e.kind == JournalEntry::end)
            ++depth;
        else if (e.kind == JournalEntry::begin && --depth == 0)
            break;
        else
            restore(e);
    }
    return true;
}

int DatabaseImpl::stepCount() const {
    int steps = 0, depth = 0;
    const JournalEntry* prev = nullptr;
    for (const JournalEntry& e : journal) {
        if (e.kind == JournalEntry::begin) {
            if (depth++ == 0)
                ++steps;
        } else if (e.kind == JournalEntry::end) {
            --depth;
        } else if (isChange(e) && depth == 0 &&
                   !(prev && isChange(*prev) && prev->epoch == e.epoch)) {
            ++steps;
        }
        prev = &e;
    }
    return steps;
}

void DatabaseImpl::afterUndo() {
    invalidateAllNames();
    if (paramCache)
        paramCache->clear();
    boundary();
    touched();
}

void Database::beginUndoGroup() {
    ++impl_->groupDepth;
    impl_->boundary();
    if (impl_->recording)
        impl_->journal.push_back(JournalEntry::marker(JournalEntry::begin));
}

void Database::endUndoGroup() {
    if (impl_->groupDepth == 0)
        return;
    --impl_->groupDepth;
    impl_->boundary();
    if (!impl_->recording)
        return;
    auto& j = impl_->journal;
    if (!j.empty() && j.back().kind == JournalEntry::begin)
        j.pop_back(); // an empty group leaves no step
    else
        j.push_back(JournalEntry::marker(JournalEntry::end));
}

int Database::undoGroupDepth() const {
    return impl_->groupDepth;
}

Status Database::undoMark() {
    impl_->boundary();
    if (impl_->recording)
        impl_->journal.push_back(JournalEntry::marker(JournalEntry::mark));
    return Status::ok;
}

bool Database::hasUndoMark() const {
    for (const JournalEntry& e : impl_->journal)
        if (e.kind == JournalEntry::mark)
            return true;
    return false;
}

Status Database::undoBack(int* steps) {
    if (steps)
        *steps = 0;
    if (impl_->openCount > 0)
        return Status::wasOpenForWrite;
    auto& j = impl_->journal;
    int unmatchedEnds = 0, depth = 0, taken = 0;
    while (!j.empty()) {
        JournalEntry& e = j.back();
        if (e.kind == JournalEntry::mark) {
            j.pop_back();
            break;
        }
        if (e.kind == JournalEntry::begin) {
            if (unmatchedEnds == 0)
                break; // the start of a group still open: the running command's
            --unmatchedEnds;
            if (--depth == 0)
                ++taken;
        } else if (e.kind == JournalEntry::end) {
            ++unmatchedEnds;
            ++depth;
        } else {
            impl_->restore(e);
            if (depth == 0 &&
                !(j.size() >= 2 && isChange(j[j.size() - 2]) && j[j.size() - 2].epoch == e.epoch))
                ++taken;
        }
        j.pop_back();
    }
    // A mark inside a closed group: what stays of that group before the mark is closed again.
    for (; unmatchedEnds > 0; --unmatchedEnds)
        j.push_back(JournalEntry::marker(JournalEntry::end));
    impl_->afterUndo();
    if (steps)
        *steps = taken;
    return Status::ok;
}

Status Database::undo(int n) {
    if (impl_->openCount > 0)
        return Status::wasOpenForWrite;
    int done = 0;
    while (done < n && impl_->undoOneStep())
        ++done;
    impl_->afterUndo();
    return done == n ? Status::ok : Status::outOfRange;
}

int Database::undoStepCount() const {
    return impl_->stepCount();
}

void Database::setUndoRecording(bool on) {
    impl_->recording = on;
    if (!on) {
        // Journalling goes off for loads and scratch work: what follows is no edit a reader
        // could follow object by object.
        impl_->logEverything();
        clearUndo();
    }
}

bool Database::isUndoRecording() const {
    return impl_->recording;
}

void Database::clearUndo() {
    impl_->journal.clear();
    impl_->boundary();
    // Groups still open keep their brackets so that their ends match.
    if (impl_->recording)
        for (int i = 0; i < impl_->groupDepth; ++i)
            impl_->journal.push_back(JournalEntry::marker(JournalEntry::begin));
}

} // namespace zhost::db
