// Reads the information of the pictures a walk is about to reach on the
// other cores. Decoding a large photo for its thumbnail costs tens of
// milliseconds of one core, far more than everything else the walk does
// with a file; a few worker threads run CollectFileInfoAhead for the next
// pictures of a directory while the walk goes on, and the walk takes each
// result when it reaches the file. Results are taken in the walk's order and
// are what CollectFileInfo would have given, so the catalogue is the same as
// without the workers. The workers never touch the Catalog, the frontend or
// the log (the notes carry what the readers show), and the decodes share
// one memory budget (MemoryGate).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fileinfo/file_info.h"
#include "fileinfo/memory_gate.h"
#include "settings/settings.h"

namespace orbisto {

class InfoPrefetch {
  public:
    // The workers worth starting on a machine of `cores` cores: one fewer
    // than the cores (the walk's own thread decodes too), none on one core.
    static unsigned workers_for(unsigned cores);

    InfoPrefetch(const Options& options, unsigned workers);
    ~InfoPrefetch();
    InfoPrefetch(const InfoPrefetch&) = delete;
    InfoPrefetch& operator=(const InfoPrefetch&) = delete;

    // How many files a walk should have queued ahead of the one it is at.
    std::size_t window() const { return 2 * threads_.size() + 2; }
    // Whether the file at `path` is worth reading ahead.
    bool wanted(std::string_view path) const;

    struct Job;
    using Ticket = std::shared_ptr<Job>;

    // Queues a file of `size_bytes` (the length the readers are told).
    Ticket submit(std::string path, std::uint64_t size_bytes);
    // The result of a queued file: read here when no worker has started it,
    // else waited for (reading other queued files here in the meantime).
    // Returns what CollectFileInfo returns; `notes` gets what the readers
    // showed and logged.
    int take(const Ticket& ticket, FileInfoResult& result, FileInfoNotes& notes);
    // Drops a file nobody will take; a worker that has started it finishes
    // and its result is thrown away.
    void cancel(const Ticket& ticket);

  private:
    void work();
    void run(Job& job, FileInfoSession& session);
    // Takes the oldest queued job for this thread; null when none is queued.
    // Called with the lock held.
    Ticket claim_front();

    const Options options_;
    MemoryGate gate_;
    FileInfoSession session_;  // the walk's thread's, when it reads a file here
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<Ticket> queue_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

struct InfoPrefetch::Job {
    enum class State { Queued, Running, Done, Cancelled };
    std::string path;
    std::uint64_t size_bytes = 0;
    State state = State::Queued;
    int found = 0;
    FileInfoResult result;
    FileInfoNotes notes;
    std::exception_ptr failure;  // what the reader threw, thrown again to the taker
};

}  // namespace orbisto
