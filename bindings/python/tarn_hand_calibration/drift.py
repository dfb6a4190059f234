"""A hand's drift monitor in the units people read: degrees, degrees a
minute and seconds, each field named with its unit (the C library's
radians are converted here, once). The radian names of 1.0 and 1.1 stay
through 1.x as deprecated aliases that warn.

    calibrator.set_drift_settings("right", threshold_deg=4, compensate=True)
    calibrator.drift("right").rate_deg_per_min
"""

import enum
import math
import warnings
from dataclasses import dataclass

from ._library import DriftSettings as _CDriftSettings

# Each unit here in the C library's: a degree in radians (as the library
# writes its defaults, so that they read back exactly), a degree a minute
# in radians a second.
_DEGREE = math.pi / 180
_DEGREE_A_MINUTE = _DEGREE / 60


class DriftEventKind(enum.IntEnum):
    """What the drift monitor did to a hand's calibration: RECALIBRATION
    re-calibrated it; COMPENSATION started turning it back by the fitted
    drift (once per start, not for each small turn)."""

    RECALIBRATION = 1
    COMPENSATION = 2


# Each Python field of the settings: its C field and its unit in the C one.
_SETTINGS = {"reference_row": ("reference_row", 1), "threshold_deg": ("threshold", _DEGREE),
             "hold_time_s": ("hold_time", 1), "still_speed_deg_per_s": ("still_speed", _DEGREE),
             "still_time_s": ("still_time", 1), "window_s": ("window", 1),
             "auto_recalibrate": ("auto_recalibrate", 1), "compensate": ("compensate", 1),
             "compensate_within_deg": ("compensate_within", _DEGREE)}


@dataclass(frozen=True)
class DriftSettings:
    """The settings of a hand's drift monitor; default_drift_settings()
    gives the defaults (TarnCalibrator.h states them).

    reference_row: the glove row compared with the tracker, 0 to 19 (the
        row the hand is calibrated from).
    threshold_deg: the trend residual beyond which, held for hold_time_s,
        the flag goes up; above 0, at most 90.
    hold_time_s: 0 to 3600.
    still_speed_deg_per_s, still_time_s: the hand is still once glove and
        tracker have turned slower than still_speed_deg_per_s (above 0, at
        most 720; measured over a sixth of a second or more) for
        still_time_s seconds (0 to 3600).
    window_s: seconds of history the drift rate is fitted over, 30 to 3600.
    auto_recalibrate: while the flag is up and the hand is still,
        re-calibrate the hand from the current frame, once its residual is
        within half the threshold of the trend residual (a hand calibrated
        from motion needs no still frame).
    compensate: once the drift is known to within compensate_within_deg
        (the rate's standard error times the span it was fitted over),
        turn the calibration back by the fitted drift every second.
    """

    reference_row: int
    threshold_deg: float
    hold_time_s: float
    still_speed_deg_per_s: float
    still_time_s: float
    window_s: float
    auto_recalibrate: bool
    compensate: bool
    compensate_within_deg: float

    @classmethod
    def from_c(cls, record):
        # Settings are chosen in degrees: the round-off of the conversion
        # (15 degrees reading 14.999999999999998) is taken out.
        return cls(**{name: _field_type(name)(round(getattr(record, c_name) / unit, 12) if unit != 1
                                              else getattr(record, c_name))
                      for name, (c_name, unit) in _SETTINGS.items()})

    def to_c(self):
        return _CDriftSettings(**{c_name: getattr(self, name) * unit if unit != 1 else getattr(self, name)
                                  for name, (c_name, unit) in _SETTINGS.items()})


def _field_type(name):
    return {"reference_row": int, "auto_recalibrate": bool, "compensate": bool}.get(name, float)


@dataclass(frozen=True)
class DriftReport:
    """A hand's drift monitor as of its last frame. A residual is the turn
    about the up axis of the calibrated glove row away from where it would
    be had it kept its mount on the wrist tracker (the glove's heading less
    the tracker's, less the same at calibration, tilts allowed for):
    degrees, counter-clockwise seen from above in the library convention,
    unwrapped. Times are the frames' times in seconds.

    time_s: the last frame's (NaN before any); residual_deg: the last frame
    sampled (NaN when its glove row or tracker was NaN, infinite or zero);
    trend_residual_deg: the fitted drift now, less the corrections;
    rate_deg_per_min, rate_uncertainty_deg_per_min: the fitted drift rate
    and its standard error (infinite when the history cannot tell); these
    three are NaN until the first fit, 10 seconds after calibrating;
    fit_span_s: seconds of history behind the fit (0 until then);
    largest_residual_deg, largest_residual_time_s: the trend residual of
    largest magnitude so far (signed) and when; first_flag_time_s: when the
    flag first went up; correction_deg: how far the monitor has turned the
    calibration since the hand was calibrated; still_since_s: start of the
    current still stretch (NaN while moving); flag: re-calibration
    recommended; still: still for still_time_s or longer; compensating:
    compensation is turning the calibration; frames: frames observed since
    calibrating.
    """

    time_s: float
    residual_deg: float
    trend_residual_deg: float
    rate_deg_per_min: float
    rate_uncertainty_deg_per_min: float
    fit_span_s: float
    largest_residual_deg: float
    largest_residual_time_s: float
    first_flag_time_s: float
    correction_deg: float
    still_since_s: float
    flag: bool
    still: bool
    compensating: bool
    frames: int

    @classmethod
    def from_c(cls, r):
        return cls(r.time, r.residual / _DEGREE, r.trend_residual / _DEGREE, r.rate / _DEGREE_A_MINUTE,
                   r.rate_uncertainty / _DEGREE_A_MINUTE, r.fit_span, r.largest_residual / _DEGREE,
                   r.largest_residual_time, r.first_flag_time, r.correction / _DEGREE, r.still_since, bool(r.flag),
                   bool(r.still), bool(r.compensating), r.frames)


@dataclass(frozen=True)
class DriftEvent:
    """A change the drift monitor made to a hand's calibration: its kind,
    the time of the frame it came after and the trend residual just before
    and just after, in degrees."""

    kind: DriftEventKind
    time_s: float
    residual_before_deg: float
    residual_after_deg: float

    @classmethod
    def from_c(cls, e):
        return cls(DriftEventKind(e.kind), e.time, e.residual_before / _DEGREE, e.residual_after / _DEGREE)


def _deprecated(old, new, unit):
    """A read-only alias `old` of field `new`, in the old unit (`unit` is
    the new field's unit in the old one), that warns."""
    def get(self):
        warnings.warn(f"{old} is deprecated (radians and seconds): use {new}", DeprecationWarning, stacklevel=2)
        return getattr(self, new) * unit
    return property(get)


# The radian names of 1.1, read-only, warning when read; for the settings
# also as keywords of Calibrator.set_drift_settings (RADIAN_SETTINGS).
RADIAN_SETTINGS = {"threshold": ("threshold_deg", _DEGREE), "hold_time": ("hold_time_s", 1),
                   "still_speed": ("still_speed_deg_per_s", _DEGREE), "still_time": ("still_time_s", 1),
                   "window": ("window_s", 1), "compensate_within": ("compensate_within_deg", _DEGREE)}
_RADIAN_REPORT = {"time": ("time_s", 1), "residual": ("residual_deg", _DEGREE),
                  "trend_residual": ("trend_residual_deg", _DEGREE), "rate": ("rate_deg_per_min", _DEGREE_A_MINUTE),
                  "rate_uncertainty": ("rate_uncertainty_deg_per_min", _DEGREE_A_MINUTE),
                  "fit_span": ("fit_span_s", 1), "largest_residual": ("largest_residual_deg", _DEGREE),
                  "largest_residual_time": ("largest_residual_time_s", 1),
                  "first_flag_time": ("first_flag_time_s", 1), "correction": ("correction_deg", _DEGREE),
                  "still_since": ("still_since_s", 1)}
_RADIAN_EVENT = {"time": ("time_s", 1), "residual_before": ("residual_before_deg", _DEGREE),
                 "residual_after": ("residual_after_deg", _DEGREE)}
for _cls, _aliases in ((DriftSettings, RADIAN_SETTINGS), (DriftReport, _RADIAN_REPORT), (DriftEvent, _RADIAN_EVENT)):
    for _old, (_new, _factor) in _aliases.items():
        setattr(_cls, _old, _deprecated(_old, _new, _factor))


def python_name(c_field):
    """The settings field of Python named for C field `c_field`."""
    return next(name for name, (c_name, _) in _SETTINGS.items() if c_name == c_field)


def to_degrees(radians):
    """Radians (a number or an array) in degrees."""
    return radians / _DEGREE
