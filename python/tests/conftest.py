"""Shared helpers of the module's tests: the program to compare with, and
exact decimal text of extended-precision values."""

import decimal
import fractions
import os
import subprocess

import numpy as np
import pytest

import havorkastilo


def pytest_report_header(config):
    return f"havorkastilo from {os.path.dirname(havorkastilo.__file__)}"


@pytest.fixture(scope="session")
def program():
    """The built Havorkastilo program (HAVORKASTILO_EXE, as ctest sets it)."""
    exe = os.environ.get("HAVORKASTILO_EXE")
    if not exe or not os.access(exe, os.X_OK):
        pytest.skip("HAVORKASTILO_EXE names no built program to compare with")
    return exe


def run_csv(program, *args):
    """The program's comma-separated output for args, as rows of texts."""
    done = subprocess.run([program, "-oc", *args], capture_output=True, text=True, check=True)
    lines = done.stdout.splitlines()
    header = lines[0].split(",")
    return [dict(zip(header, line.split(","))) for line in lines[1:]]


def fixed(value, decimals):
    """The exact decimal text of a numpy.longdouble (or float) rounded to
    decimals places, ties to even, as printf's %.*Lf rounds: from the
    value's exact binary fraction, independent of any float formatter."""
    ratio = fractions.Fraction(*value.as_integer_ratio())
    with decimal.localcontext() as ctx:
        ctx.prec = 200
        exact = decimal.Decimal(ratio.numerator) / decimal.Decimal(ratio.denominator)
        text = str(exact.quantize(decimal.Decimal(1).scaleb(-decimals),
                                  rounding=decimal.ROUND_HALF_EVEN))
    return "-" + text if text[0] != "-" and np.signbit(value) and exact == 0 else text


def same_bits(a, b):
    """Whether two float64 arrays hold the same bits element by element."""
    a = np.ascontiguousarray(a, dtype=np.float64)
    b = np.ascontiguousarray(b, dtype=np.float64)
    return a.shape == b.shape and np.array_equal(a.view(np.uint64), b.view(np.uint64))
