#include "fileinfo/info_prefetch.h"

#include <algorithm>

#include "fileinfo/thumbnail.h"

namespace orbisto {

unsigned InfoPrefetch::workers_for(unsigned cores) {
    // More than a handful of decodes at once gain nothing: the walk's
    // thread replays the results one at a time.
    return cores <= 1 ? 0 : std::min(cores - 1, 7u);
}

InfoPrefetch::InfoPrefetch(const Options& options, unsigned workers)
    : options_(options), gate_(picture_budget(options)) {
    session_.picture_gate = &gate_;
    threads_.reserve(workers);
    for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { work(); });
}

InfoPrefetch::~InfoPrefetch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        for (const Ticket& t : queue_) t->state = Job::State::Cancelled;
        queue_.clear();
    }
    queued_.notify_all();
    for (std::thread& t : threads_) t.join();
}

bool InfoPrefetch::wanted(std::string_view path) const {
    return reads_picture_ahead(options_, path);
}

InfoPrefetch::Ticket InfoPrefetch::submit(std::string path, std::uint64_t size_bytes) {
    auto job = std::make_shared<Job>();
    job->path = std::move(path);
    job->size_bytes = size_bytes;
    job->notes.with_log = options_.log_file;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(job);
    }
    queued_.notify_one();
    return job;
}

InfoPrefetch::Ticket InfoPrefetch::claim_front() {
    if (queue_.empty()) return nullptr;
    Ticket job = std::move(queue_.front());
    queue_.pop_front();
    job->state = Job::State::Running;
    return job;
}

void InfoPrefetch::run(Job& job, FileInfoSession& session) {
    try {
        job.found = CollectFileInfoAhead(options_, session, job.path, job.size_bytes, job.result,
                                         job.notes);
    } catch (...) {
        job.failure = std::current_exception();
    }
}

void InfoPrefetch::work() {
    FileInfoSession session;
    session.picture_gate = &gate_;
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        const Ticket job = claim_front();
        lock.unlock();
        run(*job, session);
        lock.lock();
        job->state = Job::State::Done;
        finished_.notify_all();
    }
}

int InfoPrefetch::take(const Ticket& ticket, FileInfoResult& result, FileInfoNotes& notes) {
    std::unique_lock lock(mutex_);
    while (ticket->state != Job::State::Done) {
        Ticket here;
        if (ticket->state == Job::State::Queued || ticket->state == Job::State::Cancelled) {
            // Not started by a worker (a cancelled one is no longer queued).
            const auto at = std::find(queue_.begin(), queue_.end(), ticket);
            if (at != queue_.end()) queue_.erase(at);
            ticket->state = Job::State::Running;
            here = ticket;
        } else {
            // A worker has it: rather than wait idle, read the next queued
            // file here (the walk needs it soon).
            here = claim_front();
        }
        if (!here) {
            finished_.wait(lock);
            continue;
        }
        lock.unlock();
        run(*here, session_);
        lock.lock();
        here->state = Job::State::Done;
        finished_.notify_all();
    }
    lock.unlock();
    if (ticket->failure) std::rethrow_exception(ticket->failure);
    result = std::move(ticket->result);
    notes = std::move(ticket->notes);
    return ticket->found;
}

void InfoPrefetch::cancel(const Ticket& ticket) {
    std::lock_guard lock(mutex_);
    if (ticket->state != Job::State::Queued) return;
    queue_.erase(std::find(queue_.begin(), queue_.end(), ticket));
    ticket->state = Job::State::Cancelled;
}

}  // namespace orbisto
