#include "matrix/ErrorLine.h"

#include <cstring>
#include <iostream>

// GBK bytes. The Chinese reasons mean:
//   矩阵行列输入异常            the matrix's row/column input is invalid
//   下标索引输入异常, 下标越界  index input invalid, index out of range
//   输入长度越界                input length out of range
//   矩阵列不匹配 / 矩阵行不匹配 / 矩阵行列不匹配
//                               columns / rows / rows and columns do not match
//   矩阵维度异常                matrix dimensions invalid
//   维度输入不匹配              the dimension input does not match
//   矩阵为空                    the matrix is empty
//   四元数向量长度不等于4       the quaternion's length is not 4
//   四元数向量长度异常          the quaternion's length is invalid
//   欧拉角矩阵维度异常          the Euler-angle matrix has invalid dimensions
//   旋转顺序RotationOrder输入异常, 检测到异常顺序
//                               invalid RotationOrder: an invalid order was detected
//   四元数矩阵维度异常          the quaternion matrix has invalid dimensions
#define TARN_ROW_COL_INVALID "\xBE\xD8\xD5\xF3\xD0\xD0\xC1\xD0\xCA\xE4\xC8\xEB\xD2\xEC\xB3\xA3"
#define TARN_INDEX_OUT_OF_RANGE \
    "\xCF\xC2\xB1\xEA\xCB\xF7\xD2\xFD\xCA\xE4\xC8\xEB\xD2\xEC\xB3\xA3, \xCF\xC2\xB1\xEA\xD4\xBD\xBD\xE7"
#define TARN_LENGTH_OUT_OF_RANGE "\xCA\xE4\xC8\xEB\xB3\xA4\xB6\xC8\xD4\xBD\xBD\xE7"
#define TARN_COLS_MISMATCH "\xBE\xD8\xD5\xF3\xC1\xD0\xB2\xBB\xC6\xA5\xC5\xE4"
#define TARN_ROWS_MISMATCH "\xBE\xD8\xD5\xF3\xD0\xD0\xB2\xBB\xC6\xA5\xC5\xE4"
#define TARN_ROWS_COLS_MISMATCH "\xBE\xD8\xD5\xF3\xD0\xD0\xC1\xD0\xB2\xBB\xC6\xA5\xC5\xE4"
#define TARN_DIMENSIONS_INVALID "\xBE\xD8\xD5\xF3\xCE\xAC\xB6\xC8\xD2\xEC\xB3\xA3"
#define TARN_DIMENSION_MISMATCH "\xCE\xAC\xB6\xC8\xCA\xE4\xC8\xEB\xB2\xBB\xC6\xA5\xC5\xE4"
#define TARN_MATRIX_EMPTY "\xBE\xD8\xD5\xF3\xCE\xAA\xBF\xD5"
#define TARN_QUATERNION_NOT_4 "\xCB\xC4\xD4\xAA\xCA\xFD\xCF\xF2\xC1\xBF\xB3\xA4\xB6\xC8\xB2\xBB\xB5\xC8\xD3\xDA" "4"
#define TARN_QUATERNION_LENGTH "\xCB\xC4\xD4\xAA\xCA\xFD\xCF\xF2\xC1\xBF\xB3\xA4\xB6\xC8\xD2\xEC\xB3\xA3"
#define TARN_EULER_DIMENSIONS "\xC5\xB7\xC0\xAD\xBD\xC7\xBE\xD8\xD5\xF3\xCE\xAC\xB6\xC8\xD2\xEC\xB3\xA3"
#define TARN_BAD_ORDER                                                                   \
    "\xD0\xFD\xD7\xAA\xCB\xB3\xD0\xF2RotationOrder\xCA\xE4\xC8\xEB\xD2\xEC\xB3\xA3, " \
    "\xBC\xEC\xB2\xE2\xB5\xBD\xD2\xEC\xB3\xA3\xCB\xB3\xD0\xF2"
#define TARN_QUATERNION_DIMENSIONS "\xCB\xC4\xD4\xAA\xCA\xFD\xBE\xD8\xD5\xF3\xCE\xAC\xB6\xC8\xD2\xEC\xB3\xA3"

namespace tarn {

const char* errorText(ErrorLine line)
{
    switch (line) {
    case ErrorLine::Constructor: return "Error(MatFunc()): " TARN_ROW_COL_INVALID;
    case ErrorLine::GetRowIndex: return "Error(MatFunc getrow): " TARN_INDEX_OUT_OF_RANGE;
    case ErrorLine::GetColIndex: return "Error(MatFunc getcol): " TARN_INDEX_OUT_OF_RANGE;
    case ErrorLine::SetColIndex: return "Error(MatFunc setcol): " TARN_INDEX_OUT_OF_RANGE;
    case ErrorLine::ToDoubleLength: return "Error(MatFunc toDouble): " TARN_LENGTH_OUT_OF_RANGE;
    case ErrorLine::AddColumns: return "Error(MatFunc +): " TARN_COLS_MISMATCH;
    case ErrorLine::AddRows: return "Error(MatFunc +): " TARN_ROWS_MISMATCH;
    case ErrorLine::AddRowsAndColumns: return "Error(MatFunc +): " TARN_ROWS_COLS_MISMATCH;
    case ErrorLine::SubtractColumns: return "Error(MatFunc -): " TARN_COLS_MISMATCH;
    case ErrorLine::SubtractRows: return "Error(MatFunc -): " TARN_ROWS_MISMATCH;
    case ErrorLine::SubtractRowsAndColumns: return "Error(MatFunc -): " TARN_ROWS_COLS_MISMATCH;
    case ErrorLine::DivideColumns: return "Error(MatFunc /): " TARN_COLS_MISMATCH;
    case ErrorLine::DivideRows: return "Error(MatFunc /): " TARN_ROWS_MISMATCH;
    case ErrorLine::DivideRowsAndColumns: return "Error(MatFunc /): " TARN_ROWS_COLS_MISMATCH;
    case ErrorLine::DotColumns: return "Error(MatFunc dot): " TARN_COLS_MISMATCH;
    case ErrorLine::DotRows: return "Error(MatFunc dot): " TARN_ROWS_MISMATCH;
    case ErrorLine::DotRowsAndColumns: return "Error(MatFunc dot): " TARN_ROWS_COLS_MISMATCH;
    case ErrorLine::ProductDimensions: return "Error(MatFunc *): " TARN_DIMENSIONS_INVALID;
    case ErrorLine::SumDimension: return "Error(MatFunc sum): " TARN_DIMENSION_MISMATCH;
    case ErrorLine::SinEmpty: return "Error(MatFunc Sin): " TARN_MATRIX_EMPTY;
    case ErrorLine::CosEmpty: return "Error(MatFunc Cos): " TARN_MATRIX_EMPTY;
    case ErrorLine::AsinEmpty: return "Error(MatFunc Asin): " TARN_MATRIX_EMPTY;
    case ErrorLine::SqrtEmpty: return "Error(MatFunc Sqrt): " TARN_MATRIX_EMPTY;
    case ErrorLine::Atan2Empty: return "Error(MatFunc Atan2): " TARN_MATRIX_EMPTY;
    case ErrorLine::ModuleEmpty: return "Error(MatFunc Module): " TARN_MATRIX_EMPTY;
    case ErrorLine::CbnLength: return "Error(MatFunc Cbn): " TARN_QUATERNION_NOT_4;
    case ErrorLine::WMatrixLength: return "Error(MatFunc w_matrix_function): " TARN_QUATERNION_LENGTH;
    case ErrorLine::SYDimensions: return "Error(MatFunc SY): " TARN_EULER_DIMENSIONS;
    case ErrorLine::SYRotationOrder: return "Error(MatFunc SY): " TARN_BAD_ORDER;
    case ErrorLine::AttitudeAngleDimensions: return "Error(MatFunc AttitudeAngle): " TARN_QUATERNION_DIMENSIONS;
    case ErrorLine::AttitudeAngleRotationOrder: return "Error(MatFunc AttitudeAngle): " TARN_BAD_ORDER;
    }
    return "";
}

namespace {
thread_local ErrorLineCounter* tCounter = nullptr;
}  // namespace

ErrorLineCounter::ErrorLineCounter() : outer_(tCounter) { tCounter = this; }

ErrorLineCounter::~ErrorLineCounter() { tCounter = outer_; }

void writeErrorLine(ErrorLine line)
{
    if (tCounter != nullptr) {
        ++tCounter->count_;
        return;
    }
    const char* text = errorText(line);
    std::cout.write(text, static_cast<std::streamsize>(std::strlen(text)));
    std::cout << std::endl;
}

}  // namespace tarn
