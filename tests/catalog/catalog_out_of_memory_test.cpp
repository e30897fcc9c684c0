// Operations that must leave the Catalog unchanged when memory runs out. The
// global allocation functions of this test program are replaced by ones that
// can be told to fail the n-th allocation from now; unarmed they only forward
// to malloc and free.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "catalog/catalog_compact.h"
#include "catalog/catalog_edit.h"
#include "catalog_fixture.h"
#include "support/scripted_frontend.h"

namespace {

thread_local long fail_countdown = -1;  // -1: never fail

void* checked_alloc(std::size_t n) {
    if (fail_countdown >= 0 && fail_countdown-- == 0) return nullptr;
    return std::malloc(n ? n : 1);
}

}  // namespace

// Every form is replaced: a sanitizer runtime supplies its own forms of the
// ones left out, and memory from its allocator must not reach free().
void* operator new(std::size_t n) {
    if (void* p = checked_alloc(n)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    if (void* p = checked_alloc(n)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    return checked_alloc(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    return checked_alloc(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace orbisto {
namespace {

using test::add_dir;
using test::add_file;

Catalog sample() {
    Catalog cat(test::small_limits());
    std::uint32_t parent = 0;
    for (int i = 0; i < 12; ++i) {
        parent = add_dir(cat, "dir" + std::to_string(i), i % 3 ? parent : 0, "c");
        add_file(cat, "file" + std::to_string(i), parent, 1.25f * i, i % 2 ? "x" : "");
    }
    delete_directory(cat, 4);
    delete_file(cat, 1);
    cat.append_name("garbage");
    cat.append_comment("garbage");
    cat.set_changed(false);
    return cat;
}

// Runs op with the n-th allocation failing, for n = 0, 1, ... until op gets
// through without a failure. Each failed run must report "Zu wenig Speicher!"
// and leave the Catalog exactly as it was.
template <class Op>
void expect_atomic_under_memory_failure(Op op) {
    for (long n = 0;; ++n) {
        Catalog cat = sample();
        const auto before = test::image_of(cat);
        test::ScriptedFrontend fe;
        fe.messages.reserve(4);
        fail_countdown = n;
        const bool ok = op(cat, fe);
        const bool failure_injected = fail_countdown < 0;
        fail_countdown = -1;
        if (!failure_injected) {
            ASSERT_TRUE(ok) << "allocation " << n;
            return;
        }
        ASSERT_FALSE(ok) << "allocation " << n;
        EXPECT_EQ(test::image_of(cat), before) << "allocation " << n;
        ASSERT_EQ(fe.messages.size(), 1u) << "allocation " << n;
        EXPECT_EQ(fe.messages[0].text, "Zu wenig Speicher!");
        ASSERT_LT(n, 1000);
    }
}

TEST(OutOfMemory, CompactingRecordsNamesOrCommentsChangesNothing) {
    for (const bool comments : {false, true}) {
        SCOPED_TRACE(comments);
        expect_atomic_under_memory_failure([&](Catalog& cat, Frontend& fe) {
            return comments ? compact_comments(cat, fe, false)
                            : compact_records_and_names(cat, fe, false);
        });
    }
}

}  // namespace
}  // namespace orbisto
