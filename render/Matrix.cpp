// Matrix helper.
#include "render/Matrix.h"

#include <utility>

float* TransposeMatrix(float* matrix) {
    std::swap(matrix[1], matrix[4]);
    std::swap(matrix[2], matrix[8]);
    std::swap(matrix[3], matrix[12]);
    std::swap(matrix[6], matrix[9]);
    std::swap(matrix[7], matrix[13]);
    std::swap(matrix[11], matrix[14]);
    return matrix;
}
