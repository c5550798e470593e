"""The examples in the docstrings that help() shows run and print what they
say."""

import doctest

import pytest

import havorkastilo
import havorkastilo.pysolid


@pytest.mark.parametrize("module", [havorkastilo, havorkastilo.pysolid])
def test_examples(module):
    result = doctest.testmod(module)
    assert result.attempted > 0 and result.failed == 0
