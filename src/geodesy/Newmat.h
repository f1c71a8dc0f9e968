#pragma once
// The matrix library's types as the public interface names them. This is the
// one place that brings them into the global namespace.
#include <newmat/newmat.h>
#include <newmat/newmatap.h>

using NEWMAT::ColumnVector;
using NEWMAT::DotProduct;
using NEWMAT::Matrix;
using NEWMAT::RowVector;
using RBD_COMMON::BaseException;
