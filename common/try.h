#pragma once
// Error plumbing that reads in one line per call: a failed Result leaves the
// calling function with its error, a good one hands its value on.

#include "common/win_error.h"

#include <utility>

#define ORVELLE_CONCAT_INNER(a, b) a##b
#define ORVELLE_CONCAT(a, b) ORVELLE_CONCAT_INNER(a, b)

// Returns the error of a failed Status or Result.
#define ORVELLE_TRY(expr)                                                  \
  do {                                                                     \
    if (auto orvelle_try_ = (expr); !orvelle_try_)                         \
      return ::orvelle::error(std::move(orvelle_try_).error());            \
  } while (false)

// lhs = the value of a good Result; returns the error of a failed one.
#define ORVELLE_ASSIGN_OR_RETURN(lhs, expr)                                \
  ORVELLE_ASSIGN_OR_RETURN_IMPL(ORVELLE_CONCAT(orvelle_result_, __LINE__), lhs, expr)
#define ORVELLE_ASSIGN_OR_RETURN_IMPL(result, lhs, expr)                   \
  auto result = (expr);                                                    \
  if (!result) return ::orvelle::error(std::move(result).error());         \
  lhs = std::move(*result)
