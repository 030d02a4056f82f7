// Dense LU factorisation with implicit row scaling (Crout's method with
// partial pivoting) and the matching forward and back substitution, for the
// small systems of the keel's lifting line.
//
// The matrix is stored by columns with leading dimension NP: element (i, j),
// both counted from 1, sits at A[(j-1)*NP + (i-1)]; the N x N upper-left
// block is used. INDX(j), counted from 1, is the row swapped with row j at
// step j.
#pragma once

#include <ostream>
#include <span>

namespace carinex {

constexpr int kLuMaxOrder = 16;     // largest N the routines accept
constexpr int kLuSingular = 150;    // a row of zeros
constexpr int kLuTooLarge = 151;    // N beyond kLuMaxOrder or beyond NP, or storage too short
constexpr double kLuTinyPivot = 1e-20;

// Factors A in place into L (below the diagonal, unit diagonal not stored)
// and U (on and above it) of the row-permuted matrix. D is the parity of the
// interchanges. A zero row writes "Matrix singulär" to the console and
// returns IERR = 150; a zero pivot writes "AMATRX = TINY", is replaced by
// 1e-20, and the factorisation goes on.
void LUDCMP(std::ostream& console, int NP, int N, std::span<double> A, std::span<int> INDX, double& D, int& IERR);

// Solves the factored system for one right-hand side B (overwritten by the
// solution). Leading zeros of the permuted right-hand side are skipped.
void LUBKSB(int NP, int N, std::span<const double> A, std::span<double> B, std::span<const int> INDX);

}  // namespace carinex
