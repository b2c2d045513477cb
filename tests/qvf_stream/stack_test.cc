// Writing a tree at the nesting bound fits in a modest thread stack.
#include <pthread.h>

#include <gtest/gtest.h>

#include <functional>

#include "qvf/stream/stream.h"
#include "qvf/writer/writer_core.h"
#include "support/bytes.h"
#include "support/source_encoding.h"
#include "support/tree_builders.h"

namespace quorvix::qvf {
namespace {

using namespace test_support;
using ast::Expr;
using ast::ExprList;

#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kStackBytes = 8u << 20;  // instrumented frames are several times larger
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr std::size_t kStackBytes = 8u << 20;
#else
constexpr std::size_t kStackBytes = 512u << 10;
#endif
#else
constexpr std::size_t kStackBytes = 512u << 10;
#endif

struct Job {
  const Expr* tree;
  bool ok = false;
  std::string error;
};

void* convert_on_thread(void* arg) {
  auto* job = static_cast<Job*>(arg);
  Result<Bytes> r = write_qvf_with_prefs("x", *job->tree, std::nullopt);
  job->ok = r.ok();
  if (!r.ok()) job->error = r.error().message;
  return nullptr;
}

Job run_with_small_stack(const Expr& tree) {
  Job job{&tree, false, {}};
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kStackBytes);
  pthread_t thread;
  EXPECT_EQ(pthread_create(&thread, &attr, convert_on_thread, &job), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  return job;
}

Expr chain(std::size_t levels, const std::function<Expr(Expr)>& wrap) {
  Expr e = ch(U'x');
  for (std::size_t i = 0; i < levels; ++i) e = wrap(std::move(e));
  return e;
}

TEST(QvfStreamStack, TreesAtTheBoundAreWritten) {
  const std::function<Expr(Expr)> wraps[] = {
      [](Expr e) {
        ExprList v;
        v.push_back(std::move(e));
        v.push_back(ch(U'y'));
        return seq(std::move(v));
      },
      [](Expr e) { return group(std::move(e)); },
      [](Expr e) { return color("red", std::move(e)); },
      [](Expr e) { return style(ast::StyleKind::Display, std::move(e)); },
      // Scripts on scripts (x^a^a...), scripts in subscripts and in
      // superscripts, and operands and limits of the limit templates.
      [](Expr e) { return script(std::move(e), std::nullopt, ch(U'a')); },
      [](Expr e) { return script(ch(U'x'), std::move(e), std::nullopt); },
      [](Expr e) { return script(ch(U'x'), ch(U'1'), std::move(e)); },
      [](Expr e) {
        ast::BigOperator op;
        op.lower = ast::box(ch(U'i'));
        op.upper = ast::box(ch(U'n'));
        op.body = ast::box(std::move(e));
        return Expr(std::move(op));
      },
      [](Expr e) {
        ast::Integral in;
        in.lower = ast::box(std::move(e));
        in.body = ast::box(ch(U'f'));
        return Expr(std::move(in));
      },
      [](Expr e) {
        return Expr(ast::Limit{"lim", ast::box(std::move(e)), nullptr, false});
      },
      // Every slot kind of the templates: numerators and denominators,
      // radicands and indices, stacked labels and
      // bases, arrow labels, brace bodies and labels, strike-outs, pile rows.
      [](Expr e) {
        return Expr(ast::Fraction{ast::box(std::move(e)), ast::box(ch(U'b'))});
      },
      [](Expr e) { return Expr(ast::Sqrt{ast::box(std::move(e))}); },
      [](Expr e) {
        return Expr(ast::Root{ast::box(std::move(e)), ast::box(ch(U'x'))});
      },
      [](Expr e) {
        return Expr(ast::Stackrel{ast::box(ch(U'a')), ast::box(std::move(e))});
      },
      [](Expr e) {
        return Expr(ast::Underset{ast::box(std::move(e)), ast::box(ch(U'x'))});
      },
      [](Expr e) {
        return Expr(ast::XArrow{ast::box(ch(U'a')), ast::box(std::move(e)), ast::XArrowKind::Right});
      },
      [](Expr e) {
        return Expr(ast::Brace{ast::box(std::move(e)), nullptr, ast::BraceKind::Over});
      },
      [](Expr e) {
        return Expr(ast::Brace{ast::box(ch(U'x')), ast::box(std::move(e)), ast::BraceKind::Under});
      },
      [](Expr e) {
        return Expr(ast::Strike{ast::box(std::move(e)), ast::StrikeKind::Xcancel});
      },
      [](Expr e) {
        return Expr(ast::Binomial{ast::box(ch(U'n')), ast::box(std::move(e)), ast::BinomialKind::Binom});
      },
  };
  for (const auto& wrap : wraps) {
    const Expr at_bound = chain(kMaxWriterDepth - 1, wrap);
    Job job = run_with_small_stack(at_bound);
    EXPECT_TRUE(job.ok) << job.error;

    const Expr beyond = chain(kMaxWriterDepth + 1, wrap);
    job = run_with_small_stack(beyond);
    EXPECT_FALSE(job.ok);
    EXPECT_EQ(job.error, kNestedTooDeeply);
  }
}

// The text-style forms are two nodes per level (the Style and its body).
TEST(QvfStreamStack, TextStyleTemplatesAtTheBoundAreWritten) {
  const std::function<Expr(Expr)> wraps[] = {
      [](Expr e) {
        return style(ast::StyleKind::Text, Expr(ast::Fraction{ast::box(ch(U'a')), ast::box(std::move(e))}));
      },
      [](Expr e) {
        return style(ast::StyleKind::Text, Expr(ast::Binomial{ast::box(std::move(e)), ast::box(ch(U'k')),
                                                              ast::BinomialKind::Choose}));
      },
      [](Expr e) {
        return style(ast::StyleKind::Text, Expr(ast::Binomial{ast::box(ch(U'n')), ast::box(std::move(e)),
                                                              ast::BinomialKind::Binom}));
      },
  };
  for (const auto& wrap : wraps) {
    Job job = run_with_small_stack(chain((kMaxWriterDepth - 1) / 2, wrap));
    EXPECT_TRUE(job.ok) << job.error;
    job = run_with_small_stack(chain(kMaxWriterDepth / 2 + 1, wrap));
    EXPECT_FALSE(job.ok);
    EXPECT_EQ(job.error, kNestedTooDeeply);
  }
}

}  // namespace
}  // namespace quorvix::qvf
